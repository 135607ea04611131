#include "shared/PrivateFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace vellora {
namespace {

constexpr mode_t kFileMode = 0600;
constexpr mode_t kFolderMode = 0700;

// A file another program of ours made before files were kept private: narrowed in passing.
// Failure (another owner) leaves it as it is; the write itself still counts.
void NarrowOpenFile(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && (st.st_mode & 077) != 0) ::fchmod(fd, st.st_mode & 0700);
}

// 0 or the errno of the failed write.
int WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

bool MakePrivateFolder(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path folder(path);
    if (folder.has_parent_path()) std::filesystem::create_directories(folder.parent_path(), ec);
    if (::mkdir(path.c_str(), kFolderMode) == 0) return true;
    if (errno != EEXIST) return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if ((st.st_mode & 077) != 0) ::chmod(path.c_str(), st.st_mode & 0700);
    return true;
}

bool WritePrivateFile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kFileMode);
    if (fd < 0) return false;
    NarrowOpenFile(fd);
    const int written = WriteAll(fd, bytes);
    return ::close(fd) == 0 && written == 0;
}

int AppendPrivateFile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kFileMode);
    if (fd < 0) return errno;
    NarrowOpenFile(fd);
    const int written = WriteAll(fd, bytes);
    const int closed = ::close(fd) == 0 ? 0 : errno;
    return written != 0 ? written : closed;
}

}  // namespace vellora
