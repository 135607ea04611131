#include "platform/oauth/UrlForm.h"

#include "platform/http/Http.h"

namespace vellora::oauth {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Decode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') {
            out += ' ';
        } else if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 &&
                   HexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

std::string EncodeForm(const FormFields& fields) {
    std::string out;
    for (const auto& [name, value] : fields) {
        if (!out.empty()) out += '&';
        out += http::UrlEncode(name) + '=' + http::UrlEncode(value);
    }
    return out;
}

std::map<std::string, std::string> DecodeQuery(std::string_view query) {
    std::map<std::string, std::string> out;
    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string_view::npos) end = query.size();
        const std::string_view pair = query.substr(start, end - start);
        if (!pair.empty()) {
            const std::size_t eq = pair.find('=');
            const std::string name = Decode(pair.substr(0, eq));
            const std::string value =
                eq == std::string_view::npos ? std::string() : Decode(pair.substr(eq + 1));
            out.emplace(name, value);
        }
        start = end + 1;
    }
    return out;
}

std::string WithQuery(const std::string& address, const FormFields& fields) {
    const char joint = address.find('?') == std::string::npos ? '?' : '&';
    return address + joint + EncodeForm(fields);
}

}  // namespace vellora::oauth
