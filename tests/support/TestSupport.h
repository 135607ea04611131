// Small tools for tests: private folders, child processes stopped by their id, loopback ports.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vtest {

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it on destruction.
class TempDir {
  public:
    explicit TempDir(const std::string& tag = "vellora");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// A child process started from an argument vector (no shell). The destructor ends it by its
// process id (SIGTERM, then SIGKILL) if it is still running.
class Process {
  public:
    struct Options {
        std::map<std::string, std::string> env;  // added to (or replacing in) our environment
        std::vector<std::string> unsetEnv;
        std::string workDir;
        std::string stdoutFile;  // empty: /dev/null
        std::string stderrFile;  // empty: same as stdout
        bool newProcessGroup = true;
    };
    Process() = default;
    Process(const std::vector<std::string>& argv, const Options& options);
    Process(const std::vector<std::string>& argv) : Process(argv, Options{}) {}
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;

    pid_t pid() const { return pid_; }
    bool running();
    // Waits up to timeout; returns the exit code, or -1 on time-out, 128+signal if killed.
    int wait(std::chrono::milliseconds timeout);
    void stop(std::chrono::milliseconds grace = std::chrono::milliseconds(3000));

  private:
    pid_t pid_ = -1;
    int status_ = 0;
    bool reaped_ = false;
};

// Runs a command to its end and returns its exit code; output goes to `output` if given.
int Run(const std::vector<std::string>& argv, std::string* output = nullptr,
        std::chrono::milliseconds timeout = std::chrono::seconds(120),
        const Process::Options& options = {});

int FreeTcpPort();
bool WaitForTcpPort(int port, std::chrono::milliseconds timeout);
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
             std::chrono::milliseconds step = std::chrono::milliseconds(20));

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
bool Exists(const std::string& path);
std::vector<std::string> ListDir(const std::string& path);

// The folder our programs are built into, and the source tree.
std::string BinDir();
// The folder test programs (fixtures' small executables) are built into, and the build tree.
std::string TestBinDir();
std::string BuildDir();
std::string SourceDir();

}  // namespace vtest
