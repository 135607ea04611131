// Who really sent a message, as the receiving mail server saw it: its Authentication-Results
// header field (RFC 8601). The From line alone is forged in one line, so a rule that prints
// only what comes from a customer's domain asks this instead: did the user's own server
// (named by its authserv-id) find DMARC passing, or a valid DKIM signature of the sender's
// domain? Fields of that name that carry any other authserv-id were not written by the
// user's server (a sender can add any header it likes) and count for nothing. Servers remove
// incoming fields that claim their own authserv-id, as RFC 8601 requires of them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vellora::core {

// One result of a field: "dkim=pass (good signature) header.d=example.com".
struct AuthResult {
    std::string method;                        // lower case, without a version ("dkim")
    std::string result;                        // lower case ("pass")
    std::map<std::string, std::string> props;  // "header.d" -> "example.com" (names lower case)
};

struct AuthResultsField {
    std::string authservId;  // as written, without quotes
    std::vector<AuthResult> results;
};

// Parses one field's value; nothing when it is not a well-formed field.
std::optional<AuthResultsField> ParseAuthResults(const std::string& value);

// True when a field from `trustedServer` (compared without regard to letter case) reports
// dmarc=pass for the sender's domain, or dkim=pass with a signing domain (header.d, or the
// domain of header.i) equal to it. The sender's domain is that of `fromAddress`. False when
// no server is trusted or the sender has no domain.
bool SenderAuthenticated(const std::vector<std::string>& fieldValues,
                         const std::string& trustedServer, const std::string& fromAddress);

}  // namespace vellora::core
