#include "platform/oauth/FlatJson.h"

#include <charconv>
#include <cstdint>

#include "shared/Literal.h"

namespace vellora::oauth {
namespace {

constexpr int kMaxDepth = 32;

class Parser {
  public:
    explicit Parser(std::string_view text) : s_(text) {}

    std::optional<FlatObject> Object() {
        SkipBlanks();
        if (!Take('{')) return Fail(VL("expected '{'"));
        FlatObject out;
        SkipBlanks();
        if (Take('}')) return Finish(std::move(out));
        for (;;) {
            SkipBlanks();
            std::string name;
            if (!String(name)) return std::nullopt;
            SkipBlanks();
            if (!Take(':')) return Fail(VL("expected ':'"));
            JsonValue value;
            if (!Value(value, 1)) return std::nullopt;
            out.emplace(std::move(name), std::move(value));
            SkipBlanks();
            if (Take('}')) return Finish(std::move(out));
            if (!Take(',')) return Fail(VL("expected ',' or '}'"));
        }
    }

    std::string error;

  private:
    std::optional<FlatObject> Finish(FlatObject out) {
        SkipBlanks();
        if (at_ != s_.size()) return Fail(VL("text after the object"));
        return out;
    }

    std::nullopt_t Fail(const std::string& what) {
        if (error.empty()) error = what + VL(" at offset ") + std::to_string(at_);
        return std::nullopt;
    }

    bool Take(char c) {
        if (at_ < s_.size() && s_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    bool TakeWord(std::string_view word) {
        if (s_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }

    void SkipBlanks() {
        while (at_ < s_.size() &&
               (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r')) {
            ++at_;
        }
    }

    bool Value(JsonValue& v, int depth) {
        SkipBlanks();
        if (at_ >= s_.size()) return Fail(VL("the text ends early")), false;
        const char c = s_[at_];
        if (c == '"') {
            v.kind = JsonValue::Kind::kString;
            return String(v.text);
        }
        if (c == '{' || c == '[') {
            v.kind = JsonValue::Kind::kNested;
            return Nested(depth + 1);
        }
        if (TakeWord(VL("true")) || TakeWord(VL("false"))) {
            v.kind = JsonValue::Kind::kBool;
            v.text = c == 't' ? VL("true") : VL("false");
            return true;
        }
        if (TakeWord(VL("null"))) {
            v.kind = JsonValue::Kind::kNull;
            return true;
        }
        v.kind = JsonValue::Kind::kNumber;
        return Number(v.text);
    }

    // An object or array below the top level: checked, not kept.
    bool Nested(int depth) {
        if (depth > kMaxDepth) return Fail(VL("nested too deeply")), false;
        const char open = s_[at_++];
        const char close = open == '{' ? '}' : ']';
        SkipBlanks();
        if (Take(close)) return true;
        for (;;) {
            SkipBlanks();
            if (open == '{') {
                std::string name;
                if (!String(name)) return false;
                SkipBlanks();
                if (!Take(':')) return Fail(VL("expected ':'")), false;
            }
            JsonValue ignored;
            if (!Value(ignored, depth)) return false;
            SkipBlanks();
            if (Take(close)) return true;
            if (!Take(',')) return Fail(VL("expected ',' in a nested value")), false;
        }
    }

    bool Number(std::string& out) {
        const std::size_t start = at_;
        Take('-');
        if (Take('0')) {
        } else if (!Digits()) {
            return Fail(VL("unexpected character")), false;
        }
        if (Take('.') && !Digits()) return Fail(VL("a fraction without digits")), false;
        if (Take('e') || Take('E')) {
            if (!Take('+')) Take('-');
            if (!Digits()) return Fail(VL("an exponent without digits")), false;
        }
        out = std::string(s_.substr(start, at_ - start));
        return true;
    }

    bool Digits() {
        const std::size_t start = at_;
        while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
        return at_ > start;
    }

    bool Hex4(std::uint32_t& code) {
        if (at_ + 4 > s_.size()) return false;
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = s_[at_++];
            code <<= 4;
            if (c >= '0' && c <= '9') {
                code |= static_cast<std::uint32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                code |= static_cast<std::uint32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                code |= static_cast<std::uint32_t>(c - 'A' + 10);
            } else {
                return false;
            }
        }
        return true;
    }

    static void AppendUtf8(std::string& out, std::uint32_t cp) {
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

    bool Escape(std::string& out) {
        if (at_ >= s_.size()) return Fail(VL("the text ends inside a string")), false;
        const char c = s_[at_++];
        switch (c) {
            case '"':
            case '\\':
            case '/':
                out += c;
                return true;
            case 'b':
                out += '\b';
                return true;
            case 'f':
                out += '\f';
                return true;
            case 'n':
                out += '\n';
                return true;
            case 'r':
                out += '\r';
                return true;
            case 't':
                out += '\t';
                return true;
            case 'u':
                return Unicode(out);
            default:
                return Fail(VL("an unknown escape")), false;
        }
    }

    // \uXXXX, with a surrogate pair for characters beyond the basic plane.
    bool Unicode(std::string& out) {
        std::uint32_t cp = 0;
        if (!Hex4(cp)) return Fail(VL("a bad \\u escape")), false;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            std::uint32_t low = 0;
            if (!TakeWord(VL("\\u")) || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) {
                return Fail(VL("a lone surrogate")), false;
            }
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return Fail(VL("a lone surrogate")), false;
        }
        AppendUtf8(out, cp);
        return true;
    }

    bool String(std::string& out) {
        if (!Take('"')) return Fail(VL("expected a string")), false;
        out.clear();
        while (at_ < s_.size()) {
            const char c = s_[at_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return Fail(VL("a control character")), false;
            if (c == '\\') {
                if (!Escape(out)) return false;
            } else {
                out += c;
            }
        }
        return Fail(VL("the text ends inside a string")), false;
    }

    std::string_view s_;
    std::size_t at_ = 0;
};

}  // namespace

std::optional<FlatObject> ParseFlatObject(std::string_view text, std::string* error) {
    Parser p(text);
    auto out = p.Object();
    if (!out && error) *error = p.error;
    return out;
}

std::optional<std::string> StringMember(const FlatObject& object, const std::string& name) {
    const auto it = object.find(name);
    if (it == object.end() || it->second.kind != JsonValue::Kind::kString) return std::nullopt;
    return it->second.text;
}

std::optional<std::int64_t> IntegerMember(const FlatObject& object, const std::string& name) {
    const auto it = object.find(name);
    if (it == object.end()) return std::nullopt;
    const JsonValue& v = it->second;
    if (v.kind != JsonValue::Kind::kNumber && v.kind != JsonValue::Kind::kString) {
        return std::nullopt;
    }
    std::int64_t n = 0;
    const char* end = v.text.data() + v.text.size();
    const auto [ptr, ec] = std::from_chars(v.text.data(), end, n);
    if (v.text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return n;
}

}  // namespace vellora::oauth
