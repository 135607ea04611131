#include "platform/confine/Confine.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/confine/ConfineTexts.h"

extern char** environ;

namespace vellora::confine {
namespace {

namespace fs = std::filesystem;
namespace t = texts;

struct Probe {
    bool available = false;
    std::string why;
};

std::mutex g_mutex;
std::map<std::string, Probe> g_probes;  // by bubblewrap program
std::function<void(const std::string&)> g_notice;
std::string g_marker;
bool g_noticeGiven = false;

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::string BwrapProgram() {
    const char* value = std::getenv(t::kBwrapVariable.str().c_str());
    return value != nullptr && *value != '\0' ? value : t::kDefaultBwrap.str();
}

bool Under(const std::string& path, const std::string& folder) {
    return path == folder || path.rfind(folder + '/', 0) == 0;
}

void Add(std::vector<std::string>& args, std::initializer_list<std::string> more) {
    args.insert(args.end(), more);
}

// The system part of the sandbox: read-only /usr and what the root's links point to.
void SystemView(std::vector<std::string>& args, const Sandbox& box) {
    Add(args, {t::kRoBind.str(), t::kUsr.str(), t::kUsr.str()});
    for (const std::string& link : Words(t::kRootLinks.str())) {
        std::error_code ec;
        const auto status = fs::symlink_status(link, ec);
        if (ec || !fs::exists(status)) continue;
        if (fs::is_symlink(status)) {
            Add(args, {t::kSymlink.str(), fs::read_symlink(link, ec).string(), link});
        } else {
            Add(args, {t::kRoBind.str(), link, link});
        }
    }
    std::string files = t::kLoaderFiles.str();
    if (box.office) files += ' ' + t::kOfficeFiles.str();
    if (box.pictures) files += ' ' + t::kPictureFiles.str();
    for (const std::string& file : Words(files)) Add(args, {t::kRoBindTry.str(), file, file});
    Add(args,
        {t::kDev.str(), VL("/dev"), t::kProc.str(), VL("/proc"), t::kTmpfs.str(), VL("/tmp")});
}

std::vector<std::string> Prefix(const std::string& bwrap, const Sandbox& box) {
    std::vector<std::string> args = {bwrap};
    for (const std::string& w : Words(t::kIsolation.str())) args.push_back(w);
    SystemView(args, box);
    return args;
}

// Runs the probe command; its exit tells whether the namespaces can be made.
Probe RunProbe(const std::string& bwrap) {
    Probe probe;
    if (::access(bwrap.c_str(), X_OK) != 0) {
        probe.why = t::kNoProgram.str() + bwrap;
        return probe;
    }
    std::vector<std::string> args = Prefix(bwrap, Sandbox{});
    args.push_back(t::kProbeProgram.str());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string devNull = VL("/dev/null");
    posix_spawn_file_actions_addopen(&actions, 0, devNull.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, devNull.c_str(), O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, devNull.c_str(), O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        probe.why = t::kProbeStart.str() + std::strerror(rc);
        return probe;
    }
    // A sandbox that cannot start fails at once; one that hangs counts as failed.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        probe.available = true;
    } else if (WIFEXITED(status)) {
        probe.why = t::kProbeFailed.str() + std::to_string(WEXITSTATUS(status)) + ')';
    } else {
        probe.why = t::kProbeSignal.str() + std::to_string(WTERMSIG(status));
    }
    return probe;
}

Probe ProbeOnce(const std::string& bwrap) {
    std::lock_guard lock(g_mutex);
    auto it = g_probes.find(bwrap);
    if (it == g_probes.end()) it = g_probes.emplace(bwrap, RunProbe(bwrap)).first;
    return it->second;
}

// The notice of an unconfined run: once per process, and with a marker once until the
// sandbox works again.
void GiveNotice(const std::string& why) {
    std::function<void(const std::string&)> handler;
    {
        std::lock_guard lock(g_mutex);
        if (g_noticeGiven) return;
        g_noticeGiven = true;
        if (!g_marker.empty()) {
            const int fd = ::open(g_marker.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd < 0) return;  // an earlier run has said it
            ::close(fd);
        }
        handler = g_notice;
    }
    const std::string text = t::kNotice.str() + why;
    if (handler) {
        handler(text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

void ForgetNotice() {
    std::lock_guard lock(g_mutex);
    if (!g_marker.empty()) ::unlink(g_marker.c_str());
}

std::string RealPath(const std::string& path) {
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    return ec ? path : real.string();
}

}  // namespace

bool Available(std::string* why) {
    const Probe probe = ProbeOnce(BwrapProgram());
    if (why != nullptr) *why = probe.why;
    return probe.available;
}

Wrapped Wrap(const std::vector<std::string>& argv, const Sandbox& box, Mode mode) {
    Wrapped out;
    const std::string bwrap = BwrapProgram();
    const Probe probe = ProbeOnce(bwrap);
    if (!probe.available) {
        if (mode == Mode::Required) {
            out.error = t::kRequired.str() + probe.why;
            return out;
        }
        GiveNotice(probe.why);
        out.argv = argv;
        return out;
    }
    ForgetNotice();
    // Inside, a missing program would only show as the sandbox's own failure: say it here,
    // as starting it unconfined would.
    if (!argv.empty() && ::access(argv[0].c_str(), X_OK) != 0) {
        out.error = argv[0] + VL(": ") + std::strerror(errno);
        return out;
    }
    out.confined = true;
    out.argv = Prefix(bwrap, box);
    for (const std::string& folder : box.writable) Add(out.argv, {t::kBind.str(), folder, folder});
    // The program itself, where it does not live in the system's folders (a test's stand-in,
    // or our own program in its installation folder); a link is followed to what it names.
    const std::string program = argv.empty() ? std::string() : RealPath(argv[0]);
    std::vector<std::string> readable = box.readable;
    if (!program.empty() && !Under(program, t::kUsr.str())) readable.push_back(program);
    for (const std::string& file : readable) Add(out.argv, {t::kRoBind.str(), file, file});
    if (!box.home.empty()) Add(out.argv, {t::kSetenv.str(), VL("HOME"), box.home});
    const std::string cwd = !box.home.empty()       ? box.home
                            : !box.writable.empty() ? box.writable.front()
                                                    : VL("/");
    Add(out.argv, {t::kChdir.str(), cwd});
    if (!argv.empty()) out.argv.push_back(program);
    out.argv.insert(out.argv.end(), argv.begin() + (argv.empty() ? 0 : 1), argv.end());
    return out;
}

void SetNoticeHandler(std::function<void(const std::string&)> handler) {
    std::lock_guard lock(g_mutex);
    g_notice = std::move(handler);
}

void SetNoticeMarker(const std::string& path) {
    std::lock_guard lock(g_mutex);
    g_marker = path;
}

void ResetForTesting() {
    std::lock_guard lock(g_mutex);
    g_probes.clear();
    g_notice = nullptr;
    g_marker.clear();
    g_noticeGiven = false;
}

}  // namespace vellora::confine
