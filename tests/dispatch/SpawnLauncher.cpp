#include "tests/dispatch/SpawnLauncher.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

extern char** environ;

namespace vtest {

SpawnLauncher::~SpawnLauncher() {
    for (pid_t pid : children) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
    }
}

bool SpawnLauncher::Launch(const std::string& cmdLine) {
    // The program path ends at the blank before the job argument (folders here hold none).
    const auto blank = cmdLine.find(' ');
    const std::string program = cmdLine.substr(0, blank);
    const std::string args = blank == std::string::npos ? "" : cmdLine.substr(blank + 1);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "LPDEST=", 7) != 0 && std::strncmp(*e, "PRINTER=", 8) != 0)
            env.emplace_back(*e);
    std::vector<char*> envp, argv{const_cast<char*>(program.c_str())};
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    if (!args.empty()) argv.push_back(const_cast<char*>(args.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), nullptr, &attr, argv.data(), envp.data());
    posix_spawnattr_destroy(&attr);
    if (rc != 0) return false;
    children.push_back(pid);
    return true;
}

}  // namespace vtest
