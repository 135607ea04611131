#include "platform/shell/Module1.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>

#include "shared/Literal.h"

extern char** environ;

namespace Module1 {
namespace {

std::mutex& ChildMutex() {
    static std::mutex m;
    return m;
}
std::vector<pid_t>& Children() {
    static std::vector<pid_t> pids;
    return pids;
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Our environment without the variables that would override the system default printer.
std::vector<std::string> ChildEnvironment() {
    const std::string lpdest = VL("LPDEST") + "=", printer = VL("PRINTER") + "=";
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind(lpdest, 0) == 0 || entry.rfind(printer, 0) == 0) continue;
        env.push_back(entry);
    }
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& items) {
    std::vector<char*> out;
    for (auto& s : items) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

// Starts argv[0] (searched in PATH when it has no "/") detached in its own session.
// Returns the process id, or -errno.
pid_t Spawn(std::vector<std::string> argv, const std::string& workFolder) {
    ReapChildren();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string devNull = VL("/dev/null");
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, devNull.c_str(), O_RDONLY, 0);
    if (!workFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, workFolder.c_str());
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::vector<std::string> env = ChildEnvironment();
    std::vector<char*> argp = Pointers(argv), envp = Pointers(env);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argp[0], &actions, &attr, argp.data(), envp.data());
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -rc;
    std::lock_guard lock(ChildMutex());
    Children().push_back(pid);
    return pid;
}

std::string CurrentFolder() {
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string(".");
}

// "scheme:..." with a scheme of two or more characters (one letter would be a drive).
bool IsAddress(const std::string& s) {
    const auto colon = s.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    if (!std::isalpha(static_cast<unsigned char>(s[0]))) return false;
    return std::all_of(s.begin(), s.begin() + static_cast<long>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

bool InPath(const std::string& name) {
    const char* path = std::getenv(VL("PATH").c_str());
    std::string dirs = path ? path : VL("/usr/bin:/bin");
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const auto end = dirs.find(':', start);
        const std::string dir = dirs.substr(start, end == std::string::npos ? end : end - start);
        if (!dir.empty() && IsExecutableFile(dir + "/" + name)) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

std::int32_t CodeOfErrno(int err) {
    switch (err) {
        case ENOENT:
            return kFileNotFound;
        case ENOTDIR:
            return kPathNotFound;
        case EACCES:
        case EPERM:
            return kAccessDenied;
        case ENOMEM:
            return kOutOfMemory;
        default:
            return 0;
    }
}

std::int32_t Execute(const ShellParts& parts) {
    const std::string folder = parts.workFolder.empty() ? CurrentFolder() : parts.workFolder;
    if (!IsFolder(folder)) return kPathNotFound;
    std::vector<std::string> argv;
    if (IsAddress(parts.file)) {
        argv = {VL("xdg-open"), parts.file};
    } else {
        const std::string path =
            !parts.file.empty() && parts.file[0] == '/' ? parts.file : folder + "/" + parts.file;
        struct stat st {};
        if (parts.file.empty() || ::stat(path.c_str(), &st) != 0) return kFileNotFound;
        if (IsExecutableFile(path)) {
            argv = {path};
            for (auto& p : SplitParameters(parts.parameters)) argv.push_back(p);
        } else {
            argv = {VL("xdg-open"), path};
        }
    }
    if (argv[0].find('/') == std::string::npos && !InPath(argv[0])) return kNoAssociation;
    const pid_t pid = Spawn(argv, folder);
    return pid > 0 ? kShellOk : CodeOfErrno(-pid);
}

}  // namespace

LaunchParts SplitLaunchLine(const std::string& cmdLine) {
    if (!cmdLine.empty() && cmdLine[0] == '"') {
        const auto close = cmdLine.find('"', 1);
        if (close != std::string::npos) {
            std::string rest = cmdLine.substr(close + 1);
            rest.erase(0, rest.find_first_not_of(' ') == std::string::npos
                              ? rest.size()
                              : rest.find_first_not_of(' '));
            return {cmdLine.substr(1, close - 1), rest};
        }
    }
    std::size_t blank = cmdLine.find(' ');
    const std::size_t first = blank;
    while (blank != std::string::npos && !IsExecutableFile(cmdLine.substr(0, blank))) {
        blank = cmdLine.find(' ', blank + 1);
    }
    if (blank == std::string::npos) blank = first;
    if (blank == std::string::npos) return {cmdLine, ""};
    return {cmdLine.substr(0, blank), cmdLine.substr(blank + 1)};
}

pid_t LaunchProgram(const std::string& cmdLine) {
    const LaunchParts parts = SplitLaunchLine(cmdLine);
    if (parts.program.empty()) return -1;
    std::vector<std::string> argv{parts.program};
    if (!parts.argumentText.empty()) argv.push_back(parts.argumentText);
    const pid_t pid = Spawn(argv, "");
    return pid > 0 ? pid : -1;
}

void ReapChildren() {
    std::lock_guard lock(ChildMutex());
    auto& pids = Children();
    pids.erase(std::remove_if(pids.begin(), pids.end(),
                              [](pid_t pid) {
                                  int status = 0;
                                  const pid_t r = ::waitpid(pid, &status, WNOHANG);
                                  return r == pid || (r < 0 && errno == ECHILD);
                              }),
               pids.end());
}

ShellParts SplitShellLine(const std::string& cmdLine,
                          const std::optional<std::string>& workFolder) {
    std::string line = cmdLine;
    std::size_t split = 0;  // 1-based position, 0 = none
    if (!line.empty() && line[0] == '"') {
        const auto close = line.find('"', 1);
        if (close != std::string::npos) {
            line = line.substr(1, close - 1) + line.substr(close + 1);
            split = close;  // the closing quote's 1-based position, less one
        }
    } else {
        const auto blank = line.find(' ');
        if (blank != std::string::npos) split = blank + 1;
    }
    if (split == 0) split = line.size() + 1;

    ShellParts parts;
    parts.file = line.substr(0, split - 1);
    std::string params = split - 1 < line.size() ? line.substr(split - 1) : std::string();
    const auto firstNonBlank = params.find_first_not_of(' ');
    parts.parameters = firstNonBlank == std::string::npos ? "" : params.substr(firstNonBlank);
    if (workFolder) {
        parts.workFolder = *workFolder;
        return parts;
    }
    if (IsAddress(parts.file)) return parts;  // an address has no folder of its own
    // The folder of the program: up to its last separator, which stays only for a root.
    for (std::size_t i = split - 1; i >= 1; --i) {
        const char c = line[i - 1];
        if (c != '\\' && c != '/') continue;
        const bool root = i == 1 || line[i - 2] == ':';
        parts.workFolder = line.substr(0, root ? i : i - 1);
        break;
    }
    return parts;
}

std::int32_t ShellRun(const std::string& cmdLine, std::int32_t /*showCommand*/,
                      const std::optional<std::string>& workFolder) {
    const ShellParts parts = SplitShellLine(cmdLine, workFolder);
    const std::int32_t code = Execute(parts);
    if (code > 31) return code;
    throw ShellError(code, VL("could not open ") + parts.file + " (" + std::to_string(code) + ")");
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::int32_t IncrementLong(std::int32_t& counter) {
    if (counter == INT32_MAX) throw std::overflow_error(VL("overflow"));
    return ++counter;
}

std::vector<std::string> SplitParameters(const std::string& parameters) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (const char c : parameters) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

}  // namespace Module1
