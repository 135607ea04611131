// Text helpers of the message parser: charset conversion to UTF-8 and safe file names.
#pragma once

#include <string>

namespace vellora::mail {

// Converts text in the declared charset to UTF-8. An unknown or missing charset is read as
// UTF-8 where the bytes are valid UTF-8, else as Windows-1252; bytes that do not convert become
// U+FFFD. ISO-8859-1 is read as its superset Windows-1252, as mail programs send it.
std::string ToUtf8(const std::string& bytes, const std::string& charset);

// Valid UTF-8 (invalid sequences become U+FFFD).
std::string ValidUtf8(const std::string& text);

// A plain file name that cannot leave the folder it is saved in: no folder parts, no control
// characters, no leading dots, at most 180 bytes with its extension kept. Empty if nothing is left.
std::string SafeFileName(const std::string& name);

// A file extension with its dot for a MIME type ("application/pdf" gives ".pdf"); ".bin" for
// types without a better one.
std::string ExtensionForType(const std::string& mimeType);

}  // namespace vellora::mail
