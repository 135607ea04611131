#include "shared/AppFolder.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace vellora {
namespace {
std::string& Pinned() {
    static std::string folder;
    return folder;
}
std::string StripSlash(std::string s) {
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}
}  // namespace

std::string AppFolder() {
    if (!Pinned().empty()) return Pinned();
    if (const char* env = std::getenv("VELLORA_FOLDER"); env && *env) return StripSlash(env);
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string exe(buf, static_cast<std::size_t>(n));
    const auto slash = exe.rfind('/');
    return slash == 0 ? "/" : exe.substr(0, slash);
}

void SetAppFolderForTesting(const std::string& folder) {
    Pinned() = StripSlash(folder);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (name.empty()) return folder;
    const bool a = folder.back() == '/', b = name.front() == '/';
    if (a && b) return folder + name.substr(1);
    if (a || b) return folder + name;
    return folder + "/" + name;
}

}  // namespace vellora
