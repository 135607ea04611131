#include "main/core/AccountTokens.h"

#include <algorithm>

#include "main/core/AccountSignIn.h"
#include "main/core/Accounts.h"
#include "main/core/MainTexts.h"
#include "main/core/SystemClock.h"
#include "shared/Profile.h"
#include "shared/StoredPassword.h"
#include "shared/Texts.h"

namespace vellora::core {
namespace {
namespace tx = vellora::core::texts;
namespace st = vellora::texts;

// A token that expires within this time is renewed before it is used.
constexpr auto kMargin = std::chrono::minutes(1);

}  // namespace

struct AccountTokens::Owned {
    SystemClock clock;
    oauth::CurlTokenService service;
};

AccountTokens::AccountTokens(std::string settingsPath, AccountArray& accounts, StatusSink& status,
                             const Options& options)
    : owned_(std::make_shared<Owned>()),
      p_{std::move(settingsPath), accounts, status, options, owned_->clock, owned_->service} {}

std::size_t AccountTokens::PositionOf(std::int16_t id) const {
    for (std::size_t i = 0; i < p_.accounts.size(); ++i) {
        if (p_.accounts[i].id == id) return i + 1;
    }
    return 0;
}

const AccountTokens::Cached* AccountTokens::Live(const AccountRecord& account) const {
    const auto it = cache_.find(account.id);
    if (it == cache_.end()) return nullptr;
    const Cached& c = it->second;
    const std::size_t position = PositionOf(account.id);
    const std::string& grant =
        position ? p_.accounts[position - 1].refreshToken : account.refreshToken;
    if (c.grant != grant || c.expires <= p_.clock.Now() + kMargin) return nullptr;
    return &c;
}

std::int32_t AccountTokens::Login(mail::MailSession& session, const AccountRecord& account,
                                  const std::string& label) {
    if (account.needsSignIn) {
        p_.status.LogMailStatus(label + tx::kTokenNeedsSignIn.str());
        return kSkipped;
    }
    if (account.refreshToken.empty()) {
        MarkNeedsSignIn(account, label + tx::kTokenNeverSignedIn.str(), false);
        return kSkipped;
    }
    const auto client = ClientFor(p_.settingsPath, account);
    if (!client || client->clientId.empty() || client->tokenUrl.empty()) {
        p_.status.LogErrorStatus(label + tx::kTokenNotSetUp.str());
        return kSkipped;
    }
    bool fresh = false;
    if (!Live(account)) {
        if (Renew(account, label, *client) == Renewal::kSkipped) return kSkipped;
        fresh = true;
    }
    session.SetCredentials(mail::Credentials::Bearer(cache_[account.id].accessToken));
    std::int32_t code = session.Login(account.server, account.user, "");
    if (code == mail::kLoginRefused && !fresh) {
        // The token died before its time (revoked, or the provider's clock runs ahead): one
        // renewal and one more try, never more.
        cache_.erase(account.id);
        if (Renew(account, label, *client) == Renewal::kSkipped) return kSkipped;
        session.SetCredentials(mail::Credentials::Bearer(cache_[account.id].accessToken));
        code = session.Login(account.server, account.user, "");
    }
    if (code == mail::kNoOAuthLogin) {
        p_.status.LogErrorStatus(label + tx::kTokenNoMechanism.str());
        return kSkipped;
    }
    if (code != mail::kOk) cache_.erase(account.id);
    return code;
}

AccountTokens::Renewal AccountTokens::Renew(const AccountRecord& account, const std::string& label,
                                            const oauth::ClientConfig& client) {
    // The array holds the newest refresh token: a rotation earlier in this check is in it.
    const std::size_t position = PositionOf(account.id);
    const std::string grant =
        position ? p_.accounts[position - 1].refreshToken : account.refreshToken;
    const oauth::TokenAnswer answer = p_.service.Refresh(client, grant);
    if (answer.status == oauth::TokenStatus::kRefused) {
        MarkNeedsSignIn(account, label + tx::kTokenRefused.str() + answer.message, true);
        return Renewal::kSkipped;
    }
    if (!answer.ok()) {
        p_.status.LogErrorStatus(label + tx::kTokenRefreshFailed.str() + answer.message);
        return Renewal::kSkipped;
    }
    std::string kept = grant;
    if (!answer.refreshToken.empty() && answer.refreshToken != grant) {
        // The old refresh token is dead from now on: the new one is stored before anything else.
        StoreGrant(account.id, answer.refreshToken, label);
        kept = answer.refreshToken;
    }
    Keep(account.id, answer, kept);
    return Renewal::kRenewed;
}

void AccountTokens::Keep(std::int16_t id, const oauth::TokenAnswer& answer,
                         const std::string& grant) {
    const auto lifetime = std::chrono::seconds(std::max<std::int64_t>(0, answer.expiresIn));
    cache_[id] = {answer.accessToken, p_.clock.Now() + lifetime, grant};
}

void AccountTokens::StoreGrant(std::int16_t id, const std::string& refreshToken,
                               const std::string& label) {
    const std::size_t position = PositionOf(id);
    if (!position) return;  // deleted while the check ran: nothing left to keep it for
    p_.accounts[position - 1].refreshToken = refreshToken;
    if (!profile::WriteString(p_.settingsPath, AccountSection(position),
                              st::kKeyAcctRefreshToken.str(), password::Store(refreshToken))) {
        p_.status.LogErrorStatus(label + tx::kTokenNotStored.str());
    }
}

void AccountTokens::MarkNeedsSignIn(const AccountRecord& account, const std::string& line,
                                    bool notify) {
    cache_.erase(account.id);
    p_.status.LogErrorStatus(line);
    if (const std::size_t position = PositionOf(account.id)) {
        p_.accounts[position - 1].needsSignIn = true;
        profile::WriteString(p_.settingsPath, AccountSection(position),
                             st::kKeyAcctSignInNeeded.str(), "1");
    }
    if (notify && p_.options.notifyOnError) {
        p_.status.SendNotification(
            tx::kNotifyKindError, tx::kTokenNotifySubject,
            tx::kTokenNotifyBody.str() + AccountLabel(account) + tx::kTokenNotifyAction.str());
    }
}

void AccountTokens::SignedIn(AccountRecord& record, const oauth::TokenAnswer& tokens) {
    record.refreshToken = tokens.refreshToken;
    record.needsSignIn = false;
    Keep(record.id, tokens, tokens.refreshToken);
    const std::size_t position = PositionOf(record.id);
    if (position == 0) return;
    AccountRecord& saved = p_.accounts[position - 1];
    if (saved.auth != AuthMethod::kOAuth2 || saved.oauthProvider != record.oauthProvider ||
        !SameMailbox(saved, record)) {
        return;
    }
    saved.refreshToken = record.refreshToken;
    saved.needsSignIn = false;
    const std::string section = AccountSection(position);
    profile::WriteString(p_.settingsPath, section, st::kKeyAcctRefreshToken.str(),
                         password::Store(record.refreshToken));
    profile::WriteString(p_.settingsPath, section, st::kKeyAcctSignInNeeded.str(), "0");
}

}  // namespace vellora::core
