#include "services/notifyd/Composer.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <string_view>
#include <vector>

#include "services/notifyd/NotifyProtocol.h"
#include "services/notifyd/NotifyTexts.h"

namespace vellora::notifyd {
namespace {

constexpr std::size_t kMaxKind = 64;
constexpr std::size_t kMaxSubject = 500;
constexpr std::size_t kMaxBody = 64 * 1024;
constexpr std::size_t kMaxAddress = 254;

bool IsAtext(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    for (char s : std::string_view("!#$%&'*+-/=?^_`{|}~")) {
        if (c == static_cast<unsigned char>(s)) return true;
    }
    return false;
}

bool IsDomain(const std::string& d) {
    if (d.empty() || d.size() > 253 || d.front() == '.' || d.back() == '.') return false;
    std::size_t label = 0;
    for (std::size_t i = 0; i < d.size(); ++i) {
        const unsigned char c = d[i];
        if (c == '.') {
            if (label == 0 || d[i - 1] == '-') return false;
            label = 0;
            continue;
        }
        const bool ok =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
        if (!ok || (label == 0 && c == '-') || ++label > 63) return false;
    }
    return d.back() != '-';
}

bool HasLineBreak(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos;
}

bool HasControl(const std::string& s, bool allowLineEnds) {
    for (unsigned char c : s) {
        if (c == '\t' || (allowLineEnds && (c == '\r' || c == '\n'))) continue;
        if (c < 0x20 || c == 0x7f) return true;
    }
    return false;
}

// Cuts text into pieces of at most max bytes without splitting a UTF-8 sequence.
std::vector<std::string> Utf8Chunks(const std::string& text, std::size_t max) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = std::min(text.size(), start + max);
        while (end < text.size() && end > start &&
               (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            --end;
        }
        out.push_back(text.substr(start, end - start));
        start = end;
    }
    return out;
}

std::string Base64(const std::string& data) {
    static const char* a = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < data.size(); i += 3) {
        unsigned n = static_cast<unsigned char>(data[i]) << 16;
        if (i + 1 < data.size()) n |= static_cast<unsigned char>(data[i + 1]) << 8;
        if (i + 2 < data.size()) n |= static_cast<unsigned char>(data[i + 2]);
        out += a[(n >> 18) & 63];
        out += a[(n >> 12) & 63];
        out += i + 1 < data.size() ? a[(n >> 6) & 63] : '=';
        out += i + 2 < data.size() ? a[n & 63] : '=';
    }
    return out;
}

std::string DateHeader() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[64];
    // %a and %b are English in the C locale, which the service never changes.
    std::strftime(buf, sizeof buf, texts::kDateFormat.str().c_str(), &tm);
    return buf;
}

std::string MessageId() {
    static thread_local std::mt19937_64 rng{std::random_device{}()};
    char buf[40];
    std::snprintf(buf, sizeof buf, "%016llx.%lld", static_cast<unsigned long long>(rng()),
                  static_cast<long long>(std::time(nullptr)));
    return "<" + std::string(buf) + texts::kMessageIdDomain.str() + ">";
}

}  // namespace

bool IsPlainAddress(const std::string& address) {
    if (address.empty() || address.size() > kMaxAddress) return false;
    const auto at = address.rfind('@');
    if (at == std::string::npos || at == 0 || at > 64) return false;
    const std::string local = address.substr(0, at);
    if (local.front() == '.' || local.back() == '.') return false;
    for (std::size_t i = 0; i < local.size(); ++i) {
        const unsigned char c = local[i];
        if (c == '.' && i > 0 && local[i - 1] == '.') return false;
        if (c != '.' && !IsAtext(c)) return false;
    }
    return IsDomain(address.substr(at + 1));
}

bool IsValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = text[i];
        std::size_t more = 0;
        unsigned min = 0, cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1, min = 0x80, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, min = 0x800, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + more >= text.size()) return false;
        for (std::size_t k = 1; k <= more; ++k) {
            const unsigned char d = text[i + k];
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += more + 1;
    }
    return true;
}

std::optional<std::string> Validate(const Notification& n) {
    using namespace texts;
    const struct {
        const std::string& value;
        std::string key;
        std::size_t max;
        bool header;
    } fields[] = {
        {n.kind, notify::kKeyKind.str(), kMaxKind, true},
        {n.subject, notify::kKeySubject.str(), kMaxSubject, true},
        {n.body, notify::kKeyBody.str(), kMaxBody, false},
        {n.recipient, notify::kKeyRecipient.str(), kMaxAddress, true},
    };
    for (const auto& f : fields) {
        if (f.header && HasLineBreak(f.value)) return kLineBreak.str() + f.key;
        if (HasControl(f.value, !f.header)) return kControlChar.str() + f.key;
        if (f.value.size() > f.max) return kTooLong.str() + f.key;
        if (!IsValidUtf8(f.value)) return kNotUtf8.str() + f.key;
    }
    if (!IsPlainAddress(n.recipient)) return kBadRecipient.str();
    return std::nullopt;
}

std::string EncodeSubject(const std::string& subject) {
    bool plain = subject.size() <= 900;
    for (unsigned char c : subject) plain = plain && c >= 0x20 && c < 0x7f;
    // "=?" inside a plain subject would be read as the start of an encoded word.
    if (plain && subject.find("=?") == std::string::npos) return subject;
    std::string out;
    for (const auto& chunk : Utf8Chunks(subject, 39)) {
        if (!out.empty()) out += "\r\n ";
        out += texts::kEncodedWordStart.str() + Base64(chunk) + "?=";
    }
    return out;
}

std::string Base64Lines(const std::string& data) {
    const std::string b = Base64(data);
    std::string out;
    for (std::size_t i = 0; i < b.size(); i += 76) out += b.substr(i, 76) + "\r\n";
    return out;
}

std::string Compose(const Notification& n, const std::string& from) {
    using namespace texts;
    std::string m;
    m += kHdrFrom.str() + from + "\r\n";
    m += kHdrTo.str() + n.recipient + "\r\n";
    m += kHdrSubject.str() + EncodeSubject(n.subject) + "\r\n";
    m += kHdrDate.str() + DateHeader() + "\r\n";
    m += kHdrMessageId.str() + MessageId() + "\r\n";
    m += kHdrMime.str() + "\r\n";
    m += kHdrContentType.str() + "\r\n";
    m += kHdrEncoding.str() + "\r\n";
    m += kHdrKind.str() + EncodeSubject(n.kind) + "\r\n";
    m += kHdrMailer.str() + "\r\n";
    m += "\r\n";
    m += Base64Lines(n.body);
    return m;
}

}  // namespace vellora::notifyd
