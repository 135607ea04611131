// Checks a notification request and turns it into one mail message. Everything that goes
// into a header line is refused when it holds a line break, so no caller can add headers or
// recipients of its own.
#pragma once

#include <optional>
#include <string>

namespace vellora::notifyd {

struct Notification {
    std::string kind, subject, body, recipient;
};

// A plain address (local@domain), nothing around it, one address only.
bool IsPlainAddress(const std::string& address);
bool IsValidUtf8(const std::string& text);

// The reason a request is refused, or nothing when it may be sent.
std::optional<std::string> Validate(const Notification& n);

// The subject as it stands in the header: plain ASCII as is, anything else as RFC 2047
// encoded words, folded so that no line grows past 76 characters.
std::string EncodeSubject(const std::string& subject);
std::string Base64Lines(const std::string& data);  // 76-character lines, CR LF after each

// The whole message, CR LF line ends, ready for the SMTP DATA phase.
std::string Compose(const Notification& n, const std::string& from);

}  // namespace vellora::notifyd
