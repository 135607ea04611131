#include "platform/office/GroupRun.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "shared/Literal.h"

extern char** environ;

namespace vellora::office {
namespace {

std::vector<std::string> MergedEnvironment(const std::map<std::string, std::string>& extra) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const auto eq = entry.find('=');
        if (eq != std::string::npos && extra.count(entry.substr(0, eq)) != 0) continue;
        env.push_back(entry);
    }
    for (const auto& [name, value] : extra) env.push_back(name + "=" + value);
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (auto& t : texts) out.push_back(t.data());
    out.push_back(nullptr);
    return out;
}

// Kills whatever is left of the group. Called while the leader is still an unreaped zombie
// (or still running), so the group id cannot have been handed to anybody else yet.
void KillGroup(pid_t group) {
    ::kill(-group, SIGKILL);
}

// True once the leader has ended; it stays a zombie (WNOWAIT) until Reap.
bool LeaderEnded(pid_t pid) {
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
        return errno == ECHILD;
    }
    return info.si_pid == pid;
}

void Reap(pid_t pid, GroupRunResult& result) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

}  // namespace

GroupRunResult RunInOwnGroup(const std::vector<std::string>& argv,
                             const std::map<std::string, std::string>& extraEnv,
                             const std::string& outputFile, std::chrono::milliseconds timeout) {
    GroupRunResult result;
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    const std::string devNull = VL("/dev/null");
    posix_spawn_file_actions_addopen(&actions, 0, devNull.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_setpgroup(&attr, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(
        &attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<std::string> args = argv;
    std::vector<std::string> env = MergedEnvironment(extraEnv);
    auto argp = Pointers(args);
    auto envp = Pointers(env);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, args.at(0).c_str(), &actions, &attr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        result.error = args[0] + VL(": ") + std::strerror(rc);
        return result;
    }
    result.started = true;

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto step = std::chrono::milliseconds(5);
    while (!LeaderEnded(pid)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(step);
        step = std::min(step * 2, std::chrono::milliseconds(50));
    }
    KillGroup(pid);
    Reap(pid, result);
    return result;
}

}  // namespace vellora::office
