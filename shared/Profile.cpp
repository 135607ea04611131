#include "shared/Profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <vector>

namespace vellora::profile {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view s) {
    const auto b = s.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(kBlanks);
    return s.substr(b, e - b + 1);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The name of a section header line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    const auto t = Trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const auto close = t.find(']');
    return Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

bool IsComment(std::string_view line) {
    const auto t = Trim(line);
    return !t.empty() && t.front() == ';';
}

// The key of a "key=value" line (not a comment, not a header), or nothing.
std::optional<std::string_view> KeyOf(std::string_view line) {
    if (IsComment(line) || SectionName(line)) return std::nullopt;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(0, eq));
}

std::string_view ValueOf(std::string_view line) {
    auto v = Trim(line.substr(line.find('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

struct Lines {
    std::vector<std::string_view> items;
    bool crlf = false;
};

Lines SplitLines(std::string_view text) {
    Lines out;
    std::size_t p = 0;
    bool first = true;
    while (p < text.size()) {
        auto nl = text.find('\n', p);
        if (nl == std::string_view::npos) nl = text.size();
        auto line = text.substr(p, nl - p);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            if (first) out.crlf = true;
        }
        first = false;
        out.items.push_back(line);
        p = nl + 1;
    }
    return out;
}

// [begin, end) of the lines of the first section named `section` (header excluded), or
// nothing when absent.
struct Range {
    std::size_t header, begin, end;
};
std::optional<Range> FindSection(const std::vector<std::string_view>& lines,
                                 std::string_view section, std::size_t from = 0) {
    for (std::size_t i = from; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i]);
        if (!name || !SameName(*name, Trim(section))) continue;
        std::size_t j = i + 1;
        while (j < lines.size() && !SectionName(lines[j])) ++j;
        return Range{i, i + 1, j};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<std::string_view>& lines, const Range& r,
                                   std::string_view key) {
    for (std::size_t i = r.begin; i < r.end; ++i) {
        const auto k = KeyOf(lines[i]);
        if (k && SameName(*k, Trim(key))) return i;
    }
    return std::nullopt;
}

std::optional<std::string> ReadFile(const std::string& path, bool& ok) {
    ok = true;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        ok = errno == ENOENT;
        return std::nullopt;
    }
    std::string text;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return text;
}

bool WriteWhole(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReplaceFile(const std::string& path, const std::string& text) {
    const std::string tmp = path + ".tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool written = WriteWhole(fd, text) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(tmp.c_str(), path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

using Edit = std::function<bool(std::vector<std::string>&)>;  // false: nothing changed

// Read, change and replace the file under the side lock.
bool Modify(const std::string& path, const Edit& edit) {
    const std::string lockPath = path + ".lock";
    const int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0) return false;
    while (::flock(lock, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(lock);
            return false;
        }
    }
    bool ok = false;
    const auto text = ReadFile(path, ok);
    bool result = false;
    if (ok) {
        const Lines split = SplitLines(text ? *text : std::string_view{});
        std::vector<std::string> lines(split.items.begin(), split.items.end());
        if (!edit(lines)) {
            result = true;
        } else {
            std::string out;
            const char* eol = split.crlf ? "\r\n" : "\n";
            for (const auto& l : lines) out.append(l).append(eol);
            result = ReplaceFile(path, out);
        }
    }
    ::flock(lock, LOCK_UN);
    ::close(lock);
    return result;
}

std::vector<std::string_view> Views(const std::vector<std::string>& lines) {
    return {lines.begin(), lines.end()};
}

bool ValidSection(std::string_view s) {
    return !Trim(s).empty() && s.find_first_of("]\r\n") == std::string_view::npos;
}

bool ValidKey(std::string_view k) {
    const auto t = Trim(k);
    return !t.empty() && t.front() != '[' && t.front() != ';' &&
           k.find_first_of("=\r\n") == std::string_view::npos;
}

std::string OneLine(std::string_view value) {
    std::string v(value);
    std::replace_if(
        v.begin(), v.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return v;
}

}  // namespace

std::optional<std::string> ReadString(const std::string& path, std::string_view section,
                                      std::string_view key) {
    bool ok = false;
    const auto text = ReadFile(path, ok);
    if (!text) return std::nullopt;
    const auto lines = SplitLines(*text).items;
    const auto r = FindSection(lines, section);
    if (!r) return std::nullopt;
    const auto i = FindKey(lines, *r, key);
    if (!i) return std::nullopt;
    return std::string(ValueOf(lines[*i]));
}

bool WriteString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value) {
    if (!ValidSection(section) || !ValidKey(key)) return false;
    const std::string line = std::string(Trim(key)) + "=" + OneLine(value);
    return Modify(path, [&](std::vector<std::string>& lines) {
        const auto views = Views(lines);
        const auto r = FindSection(views, section);
        if (!r) {
            if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
            lines.push_back("[" + std::string(Trim(section)) + "]");
            lines.push_back(line);
            return true;
        }
        if (const auto i = FindKey(views, *r, key)) {
            if (lines[*i] == line) return false;
            lines[*i] = line;
            return true;
        }
        // After the section's last non-blank line, so blank separators stay between sections.
        std::size_t at = r->end;
        while (at > r->begin && Trim(lines[at - 1]).empty()) --at;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), line);
        return true;
    });
}

bool DeleteKey(const std::string& path, std::string_view section, std::string_view key) {
    if (!ValidSection(section) || !ValidKey(key)) return false;
    return Modify(path, [&](std::vector<std::string>& lines) {
        const auto views = Views(lines);
        const auto r = FindSection(views, section);
        if (!r) return false;
        const auto i = FindKey(views, *r, key);
        if (!i) return false;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*i));
        return true;
    });
}

bool DeleteSection(const std::string& path, std::string_view section) {
    if (!ValidSection(section)) return false;
    return Modify(path, [&](std::vector<std::string>& lines) {
        bool changed = false;
        for (;;) {
            const auto r = FindSection(Views(lines), section);
            if (!r) break;
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(r->header),
                        lines.begin() + static_cast<std::ptrdiff_t>(r->end));
            changed = true;
        }
        return changed;
    });
}

}  // namespace vellora::profile
