#include "main/core/AuthResults.h"

#include <cctype>

#include "main/core/MainTexts.h"

namespace vellora::core {
namespace {

namespace mt = vellora::core::texts;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Comments (nested, with quoted pairs) become a blank; quoted strings stay as they are.
// Nothing when a comment or a quoted string is not closed.
std::optional<std::string> WithoutComments(const std::string& v) {
    std::string out;
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const char c = v[i];
        if (depth > 0) {
            if (c == '\\')
                ++i;
            else if (c == '(')
                ++depth;
            else if (c == ')' && --depth == 0)
                out += ' ';
            continue;
        }
        if (quoted) {
            out += c;
            if (c == '\\' && i + 1 < v.size())
                out += v[++i];
            else if (c == '"')
                quoted = false;
            continue;
        }
        if (c == '(') {
            depth = 1;
            continue;
        }
        if (c == '"') quoted = true;
        out += c;
    }
    if (depth > 0 || quoted) return std::nullopt;
    return out;
}

enum class Kind { Word, Quoted, Semi, Equals, Slash };
struct Token {
    Kind kind;
    std::string text;
};

std::vector<Token> Tokens(const std::string& s) {
    std::vector<Token> out;
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (c == ';' || c == '=' || c == '/') {
            out.push_back({c == ';' ? Kind::Semi : c == '=' ? Kind::Equals : Kind::Slash, {}});
            ++i;
        } else if (c == '"') {
            std::string text;
            for (++i; i < s.size() && s[i] != '"'; ++i) {
                if (s[i] == '\\' && i + 1 < s.size()) ++i;
                text += s[i];
            }
            ++i;
            out.push_back({Kind::Quoted, text});
        } else {
            std::string text;
            while (i < s.size() && std::string(" \t\r\n;=/\"").find(s[i]) == std::string::npos)
                text += s[i++];
            out.push_back({Kind::Word, text});
        }
    }
    return out;
}

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// One "method[/version]=result [reason=...] [ptype.property=value ...]"; nothing if malformed.
std::optional<AuthResult> ParseResult(const std::vector<Token>& t, std::size_t begin,
                                      std::size_t end) {
    std::size_t i = begin;
    auto is = [&](Kind k) { return i < end && t[i].kind == k; };
    if (!is(Kind::Word)) return std::nullopt;
    AuthResult r;
    r.method = Lower(t[i++].text);
    if (is(Kind::Slash)) {
        ++i;
        if (!is(Kind::Word)) return std::nullopt;
        ++i;
    }
    if (!is(Kind::Equals)) return std::nullopt;
    ++i;
    if (!is(Kind::Word)) return std::nullopt;
    r.result = Lower(t[i++].text);
    while (i < end) {
        if (!is(Kind::Word)) return std::nullopt;
        const std::string name = Lower(t[i++].text);
        if (!is(Kind::Equals)) return std::nullopt;
        ++i;
        if (!is(Kind::Word) && !is(Kind::Quoted)) return std::nullopt;
        const std::string value = t[i++].text;
        if (name != mt::kAuthReason.str()) r.props[name] = value;
    }
    return r;
}

std::string Domain(std::string s) {
    const auto at = s.rfind('@');
    if (at != std::string::npos) s = s.substr(at + 1);
    s = Lower(s);
    while (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

bool Vouches(const AuthResult& r, const std::string& domain) {
    if (r.result != mt::kAuthPass.str()) return false;
    auto prop = [&](const std::string& name) {
        const auto it = r.props.find(name);
        return it == r.props.end() ? std::string() : Domain(it->second);
    };
    if (r.method == mt::kAuthDmarc.str()) {
        // DMARC's pass is about the From domain; a field that names it must name ours.
        const std::string from = prop(mt::kAuthHeaderFrom.str());
        return from.empty() || from == domain;
    }
    if (r.method == mt::kAuthDkim.str()) {
        return prop(mt::kAuthHeaderD.str()) == domain || prop(mt::kAuthHeaderI.str()) == domain;
    }
    return false;
}

}  // namespace

std::optional<AuthResultsField> ParseAuthResults(const std::string& value) {
    const auto plain = WithoutComments(value);
    if (!plain) return std::nullopt;
    const std::vector<Token> t = Tokens(*plain);
    if (t.empty() || (t[0].kind != Kind::Word && t[0].kind != Kind::Quoted)) return std::nullopt;
    AuthResultsField field;
    field.authservId = t[0].text;
    std::size_t i = 1;
    if (i < t.size() && t[i].kind == Kind::Word && AllDigits(t[i].text)) ++i;  // the version
    if (i < t.size() && t[i].kind != Kind::Semi) return std::nullopt;
    while (i < t.size()) {
        const std::size_t begin = ++i;  // past the ";"
        while (i < t.size() && t[i].kind != Kind::Semi) ++i;
        if (i - begin == 1 && t[begin].kind == Kind::Word &&
            Lower(t[begin].text) == mt::kAuthNone.str())
            continue;
        // A result this parser cannot read is skipped: it can only ever lose a "pass".
        if (auto r = ParseResult(t, begin, i)) field.results.push_back(std::move(*r));
    }
    return field;
}

bool SenderAuthenticated(const std::vector<std::string>& fieldValues,
                         const std::string& trustedServer, const std::string& fromAddress) {
    const auto first = trustedServer.find_first_not_of(" \t");
    if (first == std::string::npos || fromAddress.rfind('@') == std::string::npos) return false;
    const std::string trusted =
        Lower(trustedServer.substr(first, trustedServer.find_last_not_of(" \t") - first + 1));
    const std::string domain = Domain(fromAddress);
    if (domain.empty()) return false;
    for (const std::string& value : fieldValues) {
        const auto field = ParseAuthResults(value);
        if (!field || Lower(field->authservId) != trusted) continue;
        for (const AuthResult& r : field->results)
            if (Vouches(r, domain)) return true;
    }
    return false;
}

}  // namespace vellora::core
