// The real mail session: POP3 or IMAP over libcurl, one connection and one login per account
// session. Certificates and host names are always verified: against the system store, or the
// CA file named by the environment variable VELLORA_CA_FILE (test servers).
//
// Secure transport: with InitSsl, the protocol's plain port (110, 143) is upgraded with
// STARTTLS; any other port speaks TLS from the first byte (995, 993 by default).
// Logins: Login uses SASL PLAIN or LOGIN (or the protocol's plain login where the server has
// no SASL); LoginEncrypted uses APOP for POP3 where the server offers it, else SASL CRAM-MD5;
// with SetNtlm(true) both use SASL NTLM. With a bearer token (SetCredentials) both use SASL
// OAUTHBEARER where the server lists it, else XOAUTH2; a server listing neither gets
// kNoOAuthLogin.
// Message ids: IMAP gives the UID; POP3 gives a local decimal id from the UidlMap file.
// IMAP Retrieve leaves the message's \Seen flag as it was.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/mail/CurlTransfer.h"
#include "platform/mail/MailSession.h"

namespace vellora::mail {

struct CurlMailConfig {
    TransferLimits limits;
    std::string uidlMapPath;  // empty: UidlMap::DefaultPath() at login
    int popStartTlsPort = 110;
    int imapStartTlsPort = 143;
    // IMAP UIDs fetched per round trip. libcurl counts every response line against its 300 KB
    // header limit once for each line still waiting in its buffer, so a response of n lines
    // costs about n * n / 2 lines: 64 stays far below the limit.
    int idChunk = 64;
};

class CurlMailSession : public MailSession {
  public:
    CurlMailSession() = default;
    explicit CurlMailSession(const CurlMailConfig& config) : config_(config) {}
    ~CurlMailSession() override = default;

    void Reset() override;
    void SetImap(bool imap) override { imap_ = imap; }
    void SetPort(std::int32_t port) override { port_ = port; }
    std::int32_t InitSsl() override;
    void SetNtlm(bool ntlm) override { ntlm_ = ntlm; }
    void SetCredentials(const Credentials& credentials) override { credentials_ = credentials; }
    std::int32_t Login(const std::string& server, const std::string& user,
                       const std::string& password) override;
    std::int32_t LoginEncrypted(const std::string& server, const std::string& user,
                                const std::string& password) override;
    std::int32_t MessageCount() override;
    std::string MessageId(std::int32_t index) override;
    std::string Retrieve(std::int32_t index) override;
    void Close() override;
    // On: libcurl writes its protocol trace to standard error (off by default).
    void SetOption(bool on) override { verbose_ = on; }

    // The last failure's description from libcurl, for diagnostics; empty after success.
    const std::string& LastError() const { return lastError_; }

  private:
    enum class Auth { kPlain, kEncrypted };
    std::int32_t DoLogin(const std::string& server, const std::string& user,
                         const std::string& password, Auth auth);
    std::int32_t BearerLogin();
    std::int32_t Attempt(const std::string& options);
    bool Offers(const std::string& mechanism) const;
    bool OffersApop() const;
    int EffectivePort() const;
    std::string BaseUrl() const;
    std::string MailboxUrl() const;
    TransferResult Run(const std::string& url, const std::string& command, bool nobody);

    std::int32_t Fail(const TransferResult& r);
    std::int32_t PopCount();
    bool PopLoadIds();
    std::int32_t ImapSelect();
    std::int32_t ImapNoop();
    void ImapUpdates(const std::string& body, std::vector<std::string>* other = nullptr);
    bool ImapLoadIds(int index);
    std::string ImapUid(int index);
    std::string PopRetrieve(int index);
    bool PopSessionLost(const TransferResult& r);
    std::string ImapRetrieve(int index);

    CurlMailConfig config_;
    bool imap_ = false, ssl_ = false, ntlm_ = false, verbose_ = false;
    std::int32_t port_ = 0;
    std::string server_, user_, password_;
    Credentials credentials_;
    std::unique_ptr<CurlTransfer> transfer_;
    bool loggedIn_ = false;
    std::string lastError_;
    std::string lastLines_;  // the server's response lines of the last transfer
    std::int32_t failCode_ = kOk;

    // Per session: the mailbox as the server last showed it.
    std::int32_t count_ = -1;
    std::map<int, std::string> imapUids_;  // index -> UID
    std::vector<std::uint32_t> popIds_;    // index - 1 -> local id
    bool popIdsLoaded_ = false;
    bool staleView_ = false;  // libcurl selected the mailbox behind our back
};

// Maps a libcurl result to the component's result codes.
std::int32_t CodeFromCurl(int curlCode);

}  // namespace vellora::mail
