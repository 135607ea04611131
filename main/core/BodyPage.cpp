#include "main/core/BodyPage.h"

#include <fstream>
#include <stdexcept>

#include "main/core/MainTexts.h"
#include "platform/mail/MailMessage.h"
#include "shared/AppFolder.h"
#include "shared/PrivateFiles.h"
#include "shared/modBase64.h"

namespace vellora::core {
namespace mt = vellora::core::texts;

namespace {

const std::string kCrLf = "\r\n";

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string LogoMarkup(const std::string& programFolder) {
    // The HTML printer loads nothing outside the page's own folder, so the logo travels
    // inside the page.
    const std::string logo = ReadWhole(JoinPath(programFolder, mt::kLogoFileName));
    if (logo.empty()) return mt::kPageNoLogo;
    return mt::kPageLogo1.str() + mt::kLogoDataPrefix.str() +
           modBase64::StripWhitespace(modBase64::sBSFe(logo)) + mt::kPageLogo2.str();
}

std::string Person(const std::string& name, const std::string& address) {
    return EscapeHtml(name) + mt::kPageAddrOpen.str() + EscapeHtml(address) +
           mt::kPageAddrClose.str();
}

template <class Name, class Address>
std::string PeopleLine(const std::string& label, std::int32_t count, Name name, Address address) {
    std::string line = label;
    for (std::int32_t i = 1; i <= count && i <= INT16_MAX; ++i) {
        const auto k = static_cast<std::int16_t>(i);
        if (i > 1) line += kCrLf + mt::kPageEntryLeadIn.str();
        line += Person(name(k), address(k));
    }
    return line + mt::kPageLineEnd.str() + kCrLf;
}

std::string HeaderPiece(const mail::MailMessage& m, const std::string& programFolder) {
    const std::string subject = EscapeHtml(m.Subject());
    std::string h = mt::kPageHead1.str() + subject + mt::kPageHead2.str() + kCrLf;
    h += LogoMarkup(programFolder) + kCrLf;
    h += mt::kPageFromLabel.str() + Person(m.FromName(), m.FromAddress()) + mt::kPageLineEnd.str() +
         kCrLf;
    if (m.ToCount() > 0)
        h += PeopleLine(
            mt::kPageToLabel, m.ToCount(), [&](auto i) { return m.ToName(i); },
            [&](auto i) { return m.ToAddress(i); });
    if (m.CcCount() > 0)
        h += PeopleLine(
            mt::kPageCcLabel, m.CcCount(), [&](auto i) { return m.CcName(i); },
            [&](auto i) { return m.CcAddress(i); });
    h += mt::kPageSubjectLabel.str() + subject + mt::kPageLineEnd.str() + kCrLf;
    h += mt::kPageHeaderClose.str();
    return h;
}

std::string SafeFileName(std::string_view name) {
    std::string out;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        out += ok ? c : '_';
        if (out.size() >= 64) break;
    }
    while (!out.empty() && out.front() == '.') out.erase(out.begin());
    return out;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}
std::string StemOf(const std::string& path) {
    const auto slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string EmbedInlineParts(const mail::MailMessage& m, std::string html,
                             const std::string& pagePath) {
    const auto parts = m.InlineParts();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].contentId.empty()) continue;
        const std::string file = StemOf(pagePath) + mt::kInlinePartInfix.str() +
                                 std::to_string(i + 1) + "_" + SafeFileName(parts[i].fileName);
        m.SaveInlinePart(JoinPath(FolderOf(pagePath), file), i);
        html = ReplaceCid(html, parts[i].contentId, file);
    }
    return html;
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string PlainTextToHtml(std::string_view text) {
    const std::string escaped = EscapeHtml(text);
    const std::string space = mt::kPlainSpace, lineBreak = mt::kPlainBreak.str() + kCrLf;
    std::string out;
    out.reserve(escaped.size() * 2);
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (c == ' ') {
            out += space;
        } else if (c == '\r' && i + 1 < escaped.size() && escaped[i + 1] == '\n') {
            out += lineBreak;
            ++i;
        } else if (c == '\n') {
            out += lineBreak;
        } else {
            out += c;
        }
    }
    return out;
}

std::string TrimToForwardHeader(const std::string& body, const Options& options) {
    if (!options.trimToFwdHeader || options.fwdHeader.empty()) return body;
    const auto at = body.find(options.fwdHeader);
    return at == std::string::npos ? body : body.substr(at + options.fwdHeader.size());
}

std::string FixWindows1252(std::string_view text) {
    // Code points of bytes 0x82..0x8C, 0x91..0x9C and 0x9F in that code page.
    static constexpr char16_t kLow[] = {0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152};
    static constexpr char16_t kHigh[] = {0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
                                         0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        const auto b1 = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        char16_t to = 0;
        if (b0 == 0xC2 && b1 >= 0x82 && b1 <= 0x8C) to = kLow[b1 - 0x82];
        if (b0 == 0xC2 && b1 >= 0x91 && b1 <= 0x9C) to = kHigh[b1 - 0x91];
        if (b0 == 0xC2 && b1 == 0x9F) to = 0x0178;
        if (to == 0) {
            out += text[i];
            continue;
        }
        if (to < 0x800) {
            out += static_cast<char>(0xC0 | (to >> 6));
            out += static_cast<char>(0x80 | (to & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (to >> 12));
            out += static_cast<char>(0x80 | ((to >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (to & 0x3F));
        }
        ++i;
    }
    return out;
}

std::string ReplaceCid(std::string_view html, std::string_view contentId,
                       std::string_view fileName) {
    const std::string needle = "cid:" + std::string(contentId);
    std::string out;
    std::size_t from = 0;
    for (;;) {
        const auto at = html.find(needle, from);
        if (at == std::string_view::npos) break;
        const std::size_t end = at + needle.size();
        const char next = end < html.size() ? html[end] : '"';
        const bool whole = next == '"' || next == '\'' || next == ')' || next == ' ' ||
                           next == '>' || next == '\t' || next == '\r' || next == '\n';
        out.append(html.substr(from, at - from));
        if (whole)
            out.append(fileName);
        else
            out.append(needle);
        from = end;
    }
    out.append(html.substr(from));
    return out;
}

void BuildBodyPage(const mail::MailMessage& m, const std::string& path, const Options& options,
                   const std::string& programFolder) {
    std::string body = TrimToForwardHeader(m.Body(), options);
    if (m.HtmlBody() == 0)
        body = PlainTextToHtml(body);
    else
        body = EmbedInlineParts(m, std::move(body), path);
    std::string charset = m.Charset();
    for (char& c : charset) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (charset == mt::kBodyCharsetFix.str()) body = FixWindows1252(body);

    const std::string page =
        HeaderPiece(m, programFolder) + kCrLf + body + kCrLf + mt::kPageFooter.str() + kCrLf;
    if (!WritePrivateFile(path, page)) throw std::runtime_error("cannot write " + path);
}

}  // namespace vellora::core
