#include "shared/modBase64.h"

#include <array>

#include "shared/Literal.h"
#include "shared/modWriteLog.h"

namespace modBase64 {
namespace {

constexpr std::array<unsigned char, 256> MakeDecodeTable() {
    std::array<unsigned char, 256> t{};
    for (auto& v : t) v = 255;
    for (unsigned i = 0; i < 64; ++i) t[static_cast<unsigned char>(vellora::lit::kAlphabet[i])] = i;
    t[static_cast<unsigned char>('=')] = 0;
    return t;
}
constexpr auto kDecode = MakeDecodeTable();

bool IsWhitespace(char c) {
    return c == '\r' || c == '\n' || c == '\t' || c == ' ';
}
bool IsAlphabet(char c) {
    return c != '=' && kDecode[static_cast<unsigned char>(c)] != 255;
}

// A log failure inside the codec must never take the caller down with it.
void LogQuietly(const std::string& text) {
    try {
        modWriteLog::WriteLog(text);
    } catch (...) {
    }
}

}  // namespace

std::string StripWhitespace(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (!IsWhitespace(c)) out += c;
    return out;
}

bool IsBase64(std::string_view text) {
    if (text.empty()) return false;
    const std::string t = StripWhitespace(text);
    const std::size_t n = t.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = t[i];
        if (IsAlphabet(c)) continue;
        if (c == '=') {
            if (i == n - 1) continue;
            if (i == n - 2 && t[n - 1] == '=') continue;
        }
        return false;
    }
    return true;
}

std::string sDecode4(std::string_view group) {
    if (group.size() != 4 || !IsBase64(group)) return {};
    unsigned x[4];
    for (int i = 0; i < 4; ++i) {
        x[i] = kDecode[static_cast<unsigned char>(group[i])];
        if (x[i] == 255) return {};
    }
    const unsigned n = x[0] * 262144 + x[1] * 4096 + x[2] * 64 + x[3];
    std::string out(3, '\0');
    out[0] = static_cast<char>(n / 65536);
    out[1] = static_cast<char>((n / 256) % 256);
    out[2] = static_cast<char>(n % 256);
    return out;
}

std::string sEncode3(std::string_view three) {
    unsigned b[3] = {0, 0, 0};
    for (std::size_t i = 0; i < 3 && i < three.size(); ++i)
        b[i] = static_cast<unsigned char>(three[i]);
    const unsigned n = b[0] * 65536 + b[1] * 256 + b[2];
    const unsigned idx[4] = {b[0] / 4, (n / 4096) % 64, (n / 64) % 64, n % 64};
    std::string out(4, '?');
    for (int i = 0; i < 4; ++i)
        if (idx[i] < 64) out[i] = vellora::lit::kAlphabet[idx[i]];
    return out;
}

std::string sBSFd(std::string_view encoded) {
    try {
        const std::string t = StripWhitespace(encoded);
        std::string out;
        out.reserve(t.size() / 4 * 3 + 3);
        for (std::size_t p = 0; p < t.size(); p += 4) {
            std::string g = t.substr(p, 4);
            g.resize(4, '=');
            const std::string d = sDecode4(g);
            if (d.size() == 3) {
                out += d;
            } else {
                LogQuietly(VL("sBSFd - IC"));
                out += "???";
            }
        }
        return out;
    } catch (const std::exception& e) {
        LogQuietly(VL("sBSFd - ") + e.what());
        return {};
    }
}

std::string TrimMarker(std::string_view text) {
    const auto k = text.find(vellora::lit::kMarker);
    return std::string(k == std::string_view::npos ? text : text.substr(0, k));
}

std::string sBSFe(std::string_view plain) {
    try {
        std::string out;
        out.reserve(plain.size() / 3 * 4 + plain.size() / 24 + 8);
        int line = 0;
        for (std::size_t p = 0; p < plain.size(); p += 3) {
            std::string c(plain.substr(p, 3));
            const std::size_t k = (3 - c.size() % 3) % 3;
            c.append(k, '\0');
            std::string e = sEncode3(c);
            for (std::size_t i = 0; i < k; ++i) e[3 - i] = '=';
            out += e;
            line += 4;
            if (line > 63) {
                out += "\r\n";
                line = 0;
            }
        }
        return out;
    } catch (const std::exception& e) {
        LogQuietly(VL("sBSFe - ") + e.what());
        return {};
    }
}

}  // namespace modBase64

std::string vellora::lit::DecodeLiteral(std::string_view encoded) {
    return modBase64::TrimMarker(modBase64::sBSFd(encoded));
}
