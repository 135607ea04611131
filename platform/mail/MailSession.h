// The mail component's session: one connection and one login to a POP3 or IMAP mailbox.
// The main program holds one session (MailHost) for its whole life and sets it up again for
// every account with Reset. Indexes are 1-based and 32-bit, like the count: a mailbox of more
// than 32,767 messages is checked like any other. Result codes are 0 for success.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace vellora::mail {

// Result codes of InitSsl and the logins; distinct so that the logs can tell them apart.
enum MailCode : std::int32_t {
    kOk = 0,
    kLoginRefused = 1,   // the server refused the user name or password
    kTlsFailed = 2,      // no secure connection (handshake, untrusted certificate, host name)
    kUnreachable = 3,    // the server could not be reached
    kTimedOut = 4,       // the server stopped answering
    kProtocolError = 5,  // the server's answer made no sense
    kNotConnected = 6,   // an operation that needs a login came without one
    kNoOAuthLogin = 7,   // the server offers neither SASL OAUTHBEARER nor XOAUTH2
};

// How the next login proves who the user is: the password that Login is given, or an OAuth2
// access token (RFC 6750 bearer token) sent with SASL OAUTHBEARER (RFC 7628) or XOAUTH2,
// whichever the server lists; the password argument is then unused.
struct Credentials {
    enum class Kind { kPassword, kBearerToken };
    Kind kind = Kind::kPassword;
    std::string bearerToken;

    static Credentials Password() { return {}; }
    static Credentials Bearer(std::string token) { return {Kind::kBearerToken, std::move(token)}; }
};

class MailSession {
  public:
    virtual ~MailSession() = default;
    virtual void Reset() = 0;
    virtual void SetImap(bool imap) = 0;
    virtual void SetPort(std::int32_t port) = 0;
    virtual std::int32_t InitSsl() = 0;
    virtual void SetNtlm(bool ntlm) = 0;
    // Given before Login; Reset returns to the password. A bearer token overrides NTLM and the
    // encrypted login. Sessions that know only passwords keep this default.
    virtual void SetCredentials(const Credentials& credentials) { (void)credentials; }
    virtual std::int32_t Login(const std::string& server, const std::string& user,
                               const std::string& password) = 0;
    virtual std::int32_t LoginEncrypted(const std::string& server, const std::string& user,
                                        const std::string& password) = 0;
    virtual std::int32_t MessageCount() = 0;  // -1 when the mailbox cannot be read
    // The decimal id; "" for an index outside 1..MessageCount() or when the server fails.
    virtual std::string MessageId(std::int32_t index) = 0;
    virtual std::string Retrieve(std::int32_t index) = 0;  // empty on failure
    virtual void Close() = 0;
    virtual void SetOption(bool on) = 0;
};

}  // namespace vellora::mail
