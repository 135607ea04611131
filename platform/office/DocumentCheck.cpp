// What the office program is never given: a missing or empty file, and a file whose contents
// are not what its extension claims (a text file named .docx would otherwise print as text,
// and the job would report a document that was never there).
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/office/Office.h"
#include "platform/office/OfficeTexts.h"
#include "shared/Literal.h"

namespace vellora::office {
namespace {

namespace t = texts;

// Packages (zip) and, for the OOXML names, the compound file that holds an encrypted one.
inline constexpr auto kOoxml =
    lit::Encode(" docx docm dotx dotm xlsx xlsm xlsb xltx xltm pptx pptm potx potm ppsx ppsm ");
inline constexpr auto kOdf = lit::Encode(" odt ott ods ots odp otp odg otg ");
inline constexpr auto kLegacy = lit::Encode(" doc dot xls xlt ppt pot pps ");
inline constexpr auto kFlat = lit::Encode(" fodt fods fodp fodg ");
inline constexpr auto kRtf = lit::Encode(" rtf ");

enum class Sig { Zip, Compound, Rtf, Markup, Other };

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool InList(const std::string& list, const std::string& ext) {
    return !ext.empty() && list.find(' ' + ext + ' ') != std::string::npos;
}

Sig Signature(const std::string& head) {
    if (head.rfind(std::string("PK\x03\x04", 4), 0) == 0) return Sig::Zip;
    if (head.rfind(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8), 0) == 0) {
        return Sig::Compound;
    }
    if (head.rfind(VL("{\\rtf"), 0) == 0) return Sig::Rtf;
    std::size_t i = head.rfind(std::string("\xEF\xBB\xBF"), 0) == 0 ? 3 : 0;
    while (i < head.size() && std::isspace(static_cast<unsigned char>(head[i]))) ++i;
    if (i < head.size() && head[i] == '<') return Sig::Markup;
    return Sig::Other;
}

// Which signatures a file with this extension may carry; true for extensions we do not know.
bool Matches(const std::string& ext, Sig sig) {
    if (InList(kOoxml.str(), ext)) return sig == Sig::Zip || sig == Sig::Compound;
    if (InList(kOdf.str(), ext)) return sig == Sig::Zip;
    // Old binary names also carry RTF and HTML or XML exports saved under them.
    if (InList(kLegacy.str(), ext)) {
        return sig == Sig::Compound || sig == Sig::Rtf || sig == Sig::Markup;
    }
    if (InList(kFlat.str(), ext)) return sig == Sig::Markup;
    if (InList(kRtf.str(), ext)) return sig == Sig::Rtf;
    return true;
}

std::string Extension(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return Lower(path.substr(dot + 1));
}

// The head of a file, up to 1 KB.
std::string Head(const std::string& input) {
    std::ifstream in(input, std::ios::binary);
    std::string head(1024, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return head;
}

}  // namespace

std::string ImportFilterFor(const std::string& input) {
    const std::string ext = Extension(input);
    // Calc reads an HTML table under a spreadsheet name well; everything else would open in
    // Writer/Web, whose PDF export gives blank pages.
    if (!InList(kLegacy.str(), ext) || ext[0] == 'x') return {};
    const std::string raw = Head(input);
    if (Signature(raw) != Sig::Markup) return {};
    const std::string head = Lower(raw);
    if (head.find(VL("<html")) == std::string::npos &&
        head.find(VL("doctype html")) == std::string::npos)
        return {};
    return t::kWriterHtmlFilter.str();
}

std::string CheckDocument(const std::string& input) {
    struct stat st {};
    if (::stat(input.c_str(), &st) != 0) return t::kNoFile.str() + input;
    if (!S_ISREG(st.st_mode)) return t::kNotAFile.str() + input;
    if (st.st_size == 0) return t::kEmptyFile.str() + input;
    std::ifstream in(input, std::ios::binary);
    std::string head(64, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    if (in.bad() || in.gcount() <= 0) return t::kUnreadable.str() + input;
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::string ext = Extension(input);
    if (!Matches(ext, Signature(head)))
        return t::kWrongContents.str() + '.' + ext + VL(": ") + input;
    return {};
}

}  // namespace vellora::office
