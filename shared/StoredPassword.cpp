#include "shared/StoredPassword.h"

#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modBase64.h"

namespace vellora::password {
namespace {
constexpr char kRawForm = '*';

std::string OneLine(const std::string& encoded) {
    return modBase64::StripWhitespace(encoded);
}
}  // namespace

std::string Store(const std::string& password) {
    if (password.find('!') == std::string::npos) return OneLine(modBase64::sBSFe(password + "!"));
    return kRawForm + OneLine(modBase64::sBSFe(password));
}

std::string Read(const std::string& stored) {
    if (stored == basINI_IO::MissingValue()) return texts::kNoPassword.str();
    if (!stored.empty() && stored.front() == kRawForm) {
        std::string plain = modBase64::sBSFd(stored.substr(1));
        // The fill of the last group decodes as NUL bytes, which no typed password holds.
        while (!plain.empty() && plain.back() == '\0') plain.pop_back();
        return plain;
    }
    return modBase64::TrimMarker(modBase64::sBSFd(stored));
}

}  // namespace vellora::password
