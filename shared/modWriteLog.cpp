#include "shared/modWriteLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "shared/AppFolder.h"
#include "shared/Texts.h"

namespace modWriteLog {
namespace {

std::string Timestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return buf;
}

}  // namespace

std::string LogFilePath() {
    return vellora::AppFolder() + vellora::texts::kLogFileName.str();
}

void WriteLog(const std::string& text) {
    const std::string entry = Timestamp() + " " + text + "\n\n";
    const std::string path = LogFilePath();
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) throw LogError(path + ": " + std::strerror(errno));
    std::size_t done = 0;
    while (done < entry.size()) {
        const ssize_t n = ::write(fd, entry.data() + done, entry.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = errno;
            ::close(fd);
            throw LogError(path + ": " + std::strerror(err));
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

}  // namespace modWriteLog
