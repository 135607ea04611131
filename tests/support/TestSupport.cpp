#include "tests/support/TestSupport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace vtest {
namespace fs = std::filesystem;

TempDir::TempDir(const std::string& tag) {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/" + tag + "-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
}

TempDir::~TempDir() {
    if (std::getenv("VELLORA_KEEP_TEST_DIRS")) return;
    std::error_code ec;
    fs::remove_all(path_, ec);
}

Process::Process(const std::vector<std::string>& argv, const Options& o) {
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        std::string kv = *e;
        const std::string key = kv.substr(0, kv.find('='));
        bool drop = o.env.count(key) > 0;
        for (const auto& u : o.unsetEnv) drop = drop || u == key;
        if (!drop) envStrings.push_back(kv);
    }
    for (const auto& [k, v] : o.env) envStrings.push_back(k + "=" + v);
    std::vector<char*> envp, args;
    for (auto& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    for (auto& a : argCopy) args.push_back(a.data());
    args.push_back(nullptr);

    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        if (o.newProcessGroup) setpgid(0, 0);
        if (!o.workDir.empty() && chdir(o.workDir.c_str()) != 0) _exit(126);
        const int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        const std::string outPath = o.stdoutFile.empty() ? "/dev/null" : o.stdoutFile;
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(out, 1);
        if (o.stderrFile.empty()) {
            dup2(out, 2);
        } else {
            const int err = open(o.stderrFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            dup2(err, 2);
        }
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
}

Process::~Process() {
    stop();
}

Process::Process(Process&& other) noexcept {
    *this = std::move(other);
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        stop();
        pid_ = other.pid_;
        status_ = other.status_;
        reaped_ = other.reaped_;
        other.pid_ = -1;
    }
    return *this;
}

bool Process::running() {
    if (pid_ <= 0 || reaped_) return false;
    const pid_t r = waitpid(pid_, &status_, WNOHANG);
    if (r == pid_) reaped_ = true;
    return !reaped_;
}

int Process::wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (running()) {
        if (std::chrono::steady_clock::now() >= deadline) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (pid_ <= 0) return -1;
    if (WIFEXITED(status_)) return WEXITSTATUS(status_);
    if (WIFSIGNALED(status_)) return 128 + WTERMSIG(status_);
    return -1;
}

void Process::stop(std::chrono::milliseconds grace) {
    if (!running()) return;
    kill(pid_, SIGTERM);
    if (wait(grace) == -1 && running()) {
        kill(pid_, SIGKILL);
        wait(std::chrono::seconds(5));
    }
}

int Run(const std::vector<std::string>& argv, std::string* output,
        std::chrono::milliseconds timeout, const Process::Options& options) {
    TempDir dir("run");
    Process::Options o = options;
    o.stdoutFile = dir / "out";
    Process p(argv, o);
    int code = p.wait(timeout);
    if (code == -1) p.stop();
    if (output) *output = ReadFile(dir / "out");
    return code;
}

int FreeTcpPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(s);
        throw std::runtime_error("bind failed");
    }
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

bool WaitForTcpPort(int port, std::chrono::milliseconds timeout) {
    return WaitFor(
        [port] {
            const int s = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            a.sin_port = htons(static_cast<uint16_t>(port));
            const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
            close(s);
            return ok;
        },
        timeout);
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
             std::chrono::milliseconds step) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(step);
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

bool Exists(const std::string& path) {
    return fs::exists(path);
}

std::vector<std::string> ListDir(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(path, ec)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::string BinDir() {
    return VELLORA_BIN_DIR;
}
std::string SourceDir() {
    return VELLORA_SOURCE_DIR;
}
std::string TestBinDir() {
    return VELLORA_TEST_BIN_DIR;
}
std::string BuildDir() {
    return VELLORA_BUILD_DIR;
}

}  // namespace vtest
