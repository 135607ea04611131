#include "helpers/frame/Launch.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>

#include <vector>

extern char** environ;

namespace vellora::helper {

pid_t StartDetached(const std::string& program, const std::string& argumentText) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    std::string prog = program, arg = argumentText;
    std::vector<char*> argv = {prog.data(), arg.data(), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, prog.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return rc == 0 ? pid : -1;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace vellora::helper
