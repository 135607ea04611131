#include "platform/mail/MimeText.h"

#include <gmime/gmime.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "shared/Literal.h"

namespace vellora::mail {
namespace {

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool IsUtf8(const std::string& s) {
    return g_utf8_validate(s.data(), s.size(), nullptr);
}

const std::string& Replacement() {
    static const std::string r = "\xEF\xBF\xBD";
    return r;
}

// iconv from `from` to UTF-8; false when the charset is unknown.
bool Convert(const std::string& bytes, const char* from, std::string& out) {
    GIConv cd = g_iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<GIConv>(-1)) return false;
    out.clear();
    out.reserve(bytes.size() + bytes.size() / 2);
    std::string in = bytes;
    gchar* inPtr = in.data();
    gsize inLeft = in.size();
    char buffer[8192];
    while (inLeft > 0) {
        gchar* outPtr = buffer;
        gsize outLeft = sizeof buffer;
        const gsize rc = g_iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc != static_cast<gsize>(-1)) break;
        if (errno == E2BIG) continue;
        // An invalid or truncated sequence: mark it and go on after its first byte.
        out += Replacement();
        ++inPtr;
        --inLeft;
        g_iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    gchar* outPtr = buffer;
    gsize outLeft = sizeof buffer;
    g_iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    g_iconv_close(cd);
    return true;
}

}  // namespace

std::string ValidUtf8(const std::string& text) {
    if (IsUtf8(text)) return text;
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string out = valid;
    g_free(valid);
    return out;
}

std::string ToUtf8(const std::string& bytes, const std::string& charset) {
    std::string name = Lower(charset);
    const bool unicode = name.empty() || name == VL("utf-8") || name == VL("utf8") ||
                         name == VL("us-ascii") || name == VL("ascii");
    if (unicode && IsUtf8(bytes)) return bytes;
    if (unicode || name == VL("iso-8859-1") || name == VL("latin1") || name == VL("iso_8859-1")) {
        name = VL("windows-1252");
    }
    std::string out;
    const char* iconvName = g_mime_charset_iconv_name(name.c_str());
    if (Convert(bytes, iconvName ? iconvName : name.c_str(), out)) return ValidUtf8(out);
    if (IsUtf8(bytes)) return bytes;
    Convert(bytes, VL("CP1252").c_str(), out);
    return ValidUtf8(out);
}

std::string SafeFileName(const std::string& name) {
    std::string s = ValidUtf8(name);
    // Only the last folder part counts, whichever separator the sender used.
    const auto slash = s.find_last_of("/\\");
    if (slash != std::string::npos) s = s.substr(slash + 1);
    std::string out;
    for (unsigned char c : s) {
        const bool bad =
            c < 0x20 || c == 0x7F ||
            std::string_view(":*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
        out += bad ? '_' : static_cast<char>(c);
    }
    const auto first = out.find_first_not_of(". ");
    out = first == std::string::npos ? std::string() : out.substr(first);
    while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
    constexpr std::size_t kMax = 180;
    if (out.size() > kMax) {
        const auto dot = out.rfind('.');
        std::string ext =
            (dot != std::string::npos && out.size() - dot <= 16) ? out.substr(dot) : "";
        std::size_t keep = kMax - ext.size();
        // Cut on a character boundary.
        while (keep > 0 && (static_cast<unsigned char>(out[keep]) & 0xC0) == 0x80) --keep;
        out = out.substr(0, keep) + ext;
    }
    return out;
}

std::string ExtensionForType(const std::string& mimeType) {
    static const std::map<std::string, std::string> kTable = {
        {VL("application/pdf"), VL(".pdf")},
        {VL("application/msword"), VL(".doc")},
        {VL("application/rtf"), VL(".rtf")},
        {VL("application/vnd.ms-excel"), VL(".xls")},
        {VL("application/vnd.ms-powerpoint"), VL(".ppt")},
        {VL("application/vnd.openxmlformats-officedocument.wordprocessingml.document"),
         VL(".docx")},
        {VL("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"), VL(".xlsx")},
        {VL("application/vnd.openxmlformats-officedocument.presentationml.presentation"),
         VL(".pptx")},
        {VL("application/vnd.oasis.opendocument.text"), VL(".odt")},
        {VL("application/vnd.oasis.opendocument.spreadsheet"), VL(".ods")},
        {VL("application/vnd.oasis.opendocument.presentation"), VL(".odp")},
        {VL("application/zip"), VL(".zip")},
        {VL("image/jpeg"), VL(".jpg")},
        {VL("image/png"), VL(".png")},
        {VL("image/gif"), VL(".gif")},
        {VL("image/bmp"), VL(".bmp")},
        {VL("image/tiff"), VL(".tif")},
        {VL("image/webp"), VL(".webp")},
        {VL("image/heic"), VL(".heic")},
        {VL("image/svg+xml"), VL(".svg")},
        {VL("text/plain"), VL(".txt")},
        {VL("text/html"), VL(".html")},
        {VL("text/csv"), VL(".csv")},
        {VL("text/calendar"), VL(".ics")},
        {VL("message/rfc822"), VL(".eml")},
    };
    const auto it = kTable.find(Lower(mimeType));
    return it == kTable.end() ? VL(".bin") : it->second;
}

}  // namespace vellora::mail
