#include "main/core/Autostart.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "main/core/MainTexts.h"
#include "shared/Literal.h"

namespace vellora::core {
namespace fs = std::filesystem;
namespace tx = texts;

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// The Exec value: the program path quoted, then escaped as a desktop-entry string.
std::string ExecValue(const std::string& program) {
    std::string quoted = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string out;
    for (char c : quoted) {
        if (c == '\\') out += '\\';
        if (c == '%') out += '%';
        out += c;
    }
    return out;
}

std::string StringValue(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += '\\';
        out += c;
    }
    return out;
}

void WriteAll(int fd, const std::string& text, const std::string& path) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw AutostartError(path + ": " + std::strerror(errno));
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

std::string AutostartFolder() {
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base-directory rules say.
    const std::string config = Env("XDG_CONFIG_HOME");
    if (!config.empty() && config.front() == '/') return config + tx::kAutostartSubfolder.str();
    const std::string home = Env("HOME");
    if (home.empty() || home.front() != '/') return {};
    return home + tx::kDefaultConfigSubfolder.str() + tx::kAutostartSubfolder.str();
}

std::string AutostartEntryPath() {
    const std::string folder = AutostartFolder();
    return folder.empty() ? folder : folder + tx::kAutostartFileName.str();
}

bool AutostartEntryExists() {
    const std::string path = AutostartEntryPath();
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

std::string AutostartEntryText(const std::string& appFolder) {
    for (unsigned char c : appFolder)
        if (c < 0x20 || c == 0x7f) throw AutostartError(tx::kAutostartBadFolder.str() + appFolder);
    const std::string program = appFolder + "/" + tx::kProgramExe.str();
    std::string text = tx::kDesktopEntryHeader.str();
    text += tx::kDesktopEntryName.str() + StringValue(tx::kAppDisplayName.str()) + "\n";
    text += tx::kDesktopEntryExec.str() + ExecValue(program) + "\n";
    text += tx::kDesktopEntryPath.str() + StringValue(appFolder) + "\n";
    return text;
}

void WriteAutostartEntry(const std::string& appFolder) {
    const std::string path = AutostartEntryPath();
    if (path.empty()) throw AutostartError(tx::kAutostartNoFolder.str());
    const std::string text = AutostartEntryText(appFolder);
    std::error_code ec;
    fs::create_directories(AutostartFolder(), ec);
    if (ec) throw AutostartError(AutostartFolder() + ": " + ec.message());
    // Written beside the entry and renamed over it, so a session starting meanwhile reads
    // either the old entry or the whole new one.
    const std::string temp = path + ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw AutostartError(temp + ": " + std::strerror(errno));
    try {
        WriteAll(fd, text, temp);
    } catch (...) {
        ::close(fd);
        ::unlink(temp.c_str());
        throw;
    }
    if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(temp.c_str());
        throw AutostartError(path + ": " + why);
    }
}

void RemoveAutostartEntry() {
    const std::string path = AutostartEntryPath();
    if (path.empty()) return;
    std::error_code ec;
    fs::remove(path, ec);
    if (ec) throw AutostartError(path + ": " + ec.message());
}

}  // namespace vellora::core
