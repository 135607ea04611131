// The server half of an NTLM exchange (v1 and v2 answers), for a scripted server that checks what
// the client sends: a challenge to give, and a check of the client's answer against the password.
#pragma once

#include <string>

namespace vtest::ntlm {

std::string Base64Encode(const std::string& bytes);
std::string Base64Decode(const std::string& text);

bool IsNegotiate(const std::string& message);  // a type-1 message
// A type-2 message with the given server challenge (8 bytes) and target information.
std::string Challenge(const std::string& serverChallenge);
// True when the type-3 message names `user` and proves knowledge of `password`.
bool Verify(const std::string& authenticate, const std::string& serverChallenge,
            const std::string& user, const std::string& password, std::string* why);

// The other challenge-response logins, for checking them the same way: the CRAM-MD5 answer
// (user, blank, hex HMAC-MD5 of the challenge) and the APOP digest (hex MD5 of timestamp and
// password).
std::string CramMd5Answer(const std::string& user, const std::string& password,
                          const std::string& challenge);
std::string ApopDigest(const std::string& timestamp, const std::string& password);

}  // namespace vtest::ntlm
