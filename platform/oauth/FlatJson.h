// The answers of token endpoints: one JSON object (RFC 8259) whose members that matter are
// strings and numbers. The whole text is checked against the grammar, so a cut or garbled
// answer is refused rather than half read; nested objects and arrays are checked and kept only
// as "nested".
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vellora::oauth {

struct JsonValue {
    enum class Kind { kString, kNumber, kBool, kNull, kNested };
    Kind kind = Kind::kNull;
    std::string text;  // a string's decoded UTF-8, a number as written, "true"/"false"
};

using FlatObject = std::map<std::string, JsonValue>;

// The members of the object `text` holds (the first of a repeated name wins). Nothing when the
// text is not exactly one JSON object; *error then says what is wrong and where.
std::optional<FlatObject> ParseFlatObject(std::string_view text, std::string* error = nullptr);

// A member that is a string; nothing when absent or of another kind.
std::optional<std::string> StringMember(const FlatObject& object, const std::string& name);

// A whole number given as a JSON number or as a string of digits (some providers quote it).
std::optional<std::int64_t> IntegerMember(const FlatObject& object, const std::string& name);

}  // namespace vellora::oauth
