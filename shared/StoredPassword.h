// How account passwords are kept in the settings file: not as typed, but through the literal
// codec. A password with no "!" is stored as its text plus the marker, encoded on one line.
// A password holding "!" cannot take that form (the marker would cut it), so it is stored as
// "*" followed by the plain Base64 of its bytes; "*" never begins a Base64 text.
#pragma once

#include <string>

namespace vellora::password {

std::string Store(const std::string& password);  // the value to write
// The password from a stored value; the missing-value text gives the no-password placeholder.
std::string Read(const std::string& stored);

}  // namespace vellora::password
