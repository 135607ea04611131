// The picture converter: turns a picture of the converter type into the third direct type,
// written under the name Pictor derives from the source path, through ImageMagick. Takes the
// quoted source path as its argument text. The result appears under its final name only when
// it is complete, and the conversion is stopped after its own time limit.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "helpers/frame/CommandLine.h"
#include "helpers/pictor/PictureLogic.h"
#include "shared/Literal.h"

extern char** environ;

namespace {
namespace fs = std::filesystem;

constexpr auto kTimeLimit = std::chrono::seconds(9);  // Pictor gives up after 10 s

// Runs the converter in its own process group and ends the whole group at the time limit.
int RunConverter(const std::string& source, const std::string& target) {
    std::vector<std::string> args = {VL("/usr/bin/convert"),
                                     VL("-limit"),
                                     VL("time"),
                                     std::to_string(kTimeLimit.count()),
                                     source + VL("[0]"),
                                     VL("-auto-orient"),
                                     VL("-flatten"),
                                     VL("PNG:") + target};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], nullptr, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) return 1;
    const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string source =
        vellora::helper::RemoveQuotes(vellora::helper::ArgumentText(argc, argv));
    if (source.empty()) return 2;
    const std::string target = pictor::ConvertedPath(source);
    if (target == source) return 2;  // never write over the source
    std::error_code ec;
    fs::create_directories(fs::path(target).parent_path(), ec);
    const std::string part =
        (fs::path(target).parent_path() / ("." + fs::path(target).filename().string() + ".part"))
            .string();
    if (RunConverter(source, part) != 0 || !fs::exists(part)) {
        fs::remove(part, ec);
        return 1;
    }
    // The converted picture is the mail's content, like the file it came from.
    fs::permissions(part, fs::perms::owner_read | fs::perms::owner_write, ec);
    fs::rename(part, target, ec);
    return ec ? 1 : 0;
}
