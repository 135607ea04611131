// Case-insensitive comparison of UTF-8 texts: both sides are folded to lower case (ASCII by
// table, other characters by the Unicode tables of the C.UTF-8 locale); bytes that are not
// valid UTF-8 are kept as they are.
#pragma once

#include <string>
#include <string_view>

namespace vellora::core {

std::string FoldCase(std::string_view text);

// Each takes texts already folded.
bool FoldedContains(std::string_view text, std::string_view value);
bool FoldedStartsWith(std::string_view text, std::string_view value);
bool FoldedEndsWith(std::string_view text, std::string_view value);

}  // namespace vellora::core
