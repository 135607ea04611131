// The OAuth2 tokens of the accounts that sign in with a provider. The refresh token is kept
// like the password (the account's section of the settings file, and the record); the access
// token lives only here, in memory. Before a login, an access token that expires within a
// minute is renewed, and a refresh token the provider rotated is stored at once. A provider
// that refuses the grant (revoked, expired) gets one error line and one notification; the
// account is marked as needing a sign-in and skipped, without further requests, until the user
// signs in again. A token endpoint that fails or answers nonsense costs this check only.
// Used on the window's thread only: a sign-in task hands over its result there (SignedIn).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "main/core/AccountRecord.h"
#include "main/core/Options.h"
#include "main/core/Seams.h"
#include "platform/mail/MailSession.h"
#include "platform/oauth/Providers.h"
#include "platform/oauth/TokenService.h"

namespace vellora::core {

struct TokenParts {
    std::string settingsPath;
    AccountArray& accounts;  // the main window's array; its records follow the stored values
    StatusSink& status;
    const Options& options;
    Clock& clock;
    oauth::TokenService& service;
};

class AccountTokens {
  public:
    explicit AccountTokens(TokenParts parts) : p_(parts) {}
    // With the system clock and the token endpoint over libcurl.
    AccountTokens(std::string settingsPath, AccountArray& accounts, StatusSink& status,
                  const Options& options);

    // Logs the OAuth2 account in: a live access token, then the session's login. Returns the
    // login's code, or kSkipped when the account was skipped with its reason already written.
    std::int32_t Login(mail::MailSession& session, const AccountRecord& account,
                       const std::string& label);
    static constexpr std::int32_t kSkipped = -1;

    // A sign-in finished for this record (as edited in the editor or the wizard): it takes the
    // refresh token and loses the mark. When the saved account with its identifier is the same
    // OAuth2 mailbox, both are stored at once; otherwise saving the record stores them. The
    // access token is kept for the next check.
    void SignedIn(AccountRecord& record, const oauth::TokenAnswer& tokens);

    // Forgets the access token of an account (edited, deleted, signed out).
    void Forget(std::int16_t accountId) { cache_.erase(accountId); }

  private:
    struct Cached {
        std::string accessToken;
        TimePoint expires;
        std::string grant;  // the refresh token it came from
    };
    enum class Renewal { kRenewed, kSkipped };
    Renewal Renew(const AccountRecord& account, const std::string& label,
                  const oauth::ClientConfig& client);
    void Keep(std::int16_t id, const oauth::TokenAnswer& answer, const std::string& grant);
    void StoreGrant(std::int16_t id, const std::string& refreshToken, const std::string& label);
    void MarkNeedsSignIn(const AccountRecord& account, const std::string& line, bool notify);
    // Where the account is now: the user may save, move or delete accounts while a check
    // yields, so records are found by identifier, never by a position remembered earlier.
    std::size_t PositionOf(std::int16_t id) const;
    const Cached* Live(const AccountRecord& account) const;

    struct Owned;
    std::shared_ptr<Owned> owned_;  // the defaults of the convenience constructor
    TokenParts p_;
    std::map<std::int16_t, Cached> cache_;
};

}  // namespace vellora::core
