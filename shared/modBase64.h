// The literal codec: Base64 (RFC 4648 alphabet) over bytes, with the "!" marker that ends
// every encoded text. A "character" is one byte of the UTF-8 text.
#pragma once

#include <string>
#include <string_view>

namespace modBase64 {

std::string sBSFd(std::string_view encoded);    // decoded text, marker not yet cut
std::string TrimMarker(std::string_view text);  // text before the first "!"
std::string sBSFe(std::string_view plain);      // encoded, CR LF after every 64 characters
std::string sDecode4(std::string_view group);   // 3 bytes, or empty when invalid
std::string sEncode3(std::string_view three);   // one group of 4 characters
bool IsBase64(std::string_view text);
std::string StripWhitespace(std::string_view text);

}  // namespace modBase64
