#include "main/core/TextFold.h"

#include <locale.h>
#include <string.h>
#include <wctype.h>

namespace vellora::core {
namespace {

locale_t Utf8Locale() {
    static locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return loc;
}

// Decodes one UTF-8 sequence at s[i]; returns its length, 0 when it is not valid.
std::size_t Decode(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char c = b(0);
    std::size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    cp = n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(k) & 0x3F);
    }
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return 0;
    if (cp >= 0xD800 && cp <= 0xDFFF) return 0;
    return n;
}

void Encode(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string FoldCase(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    const locale_t loc = Utf8Locale();
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t n = Decode(s, i, cp);
        if (n == 0) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (loc) cp = static_cast<char32_t>(towlower_l(static_cast<wint_t>(cp), loc));
        Encode(cp, out);
        i += n;
    }
    return out;
}

bool FoldedContains(std::string_view text, std::string_view value) {
    if (value.empty()) return true;
    return memmem(text.data(), text.size(), value.data(), value.size()) != nullptr;
}

bool FoldedStartsWith(std::string_view text, std::string_view value) {
    return text.substr(0, value.size()) == value;
}

bool FoldedEndsWith(std::string_view text, std::string_view value) {
    return text.size() >= value.size() && text.substr(text.size() - value.size()) == value;
}

}  // namespace vellora::core
