// One configured mailbox, as the accounts tab edits it and the mail check reads it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vellora::core {

enum class AuthMethod { kPassword, kOAuth2 };

struct AccountRecord {
    std::int16_t id = 0;
    bool imap = false;
    bool pop = false;
    std::string server;
    std::int32_t port = 0;
    std::string user;
    std::string password;  // plain text in memory
    bool ssl = false;
    bool encryptedLogin = false;
    bool ntlm = false;
    std::int32_t lastId = 1;  // the last processed message id
    bool printAll = false;    // on first contact, every message is new
    bool printNew = false;    // on first contact, every message counts as seen
    // OAuth2 accounts sign in through a provider's page instead of a password.
    AuthMethod auth = AuthMethod::kPassword;
    std::string oauthProvider;  // the provider preset's id
    std::string refreshToken;   // the long-lived grant; the access token lives in memory only
    bool needsSignIn = false;   // the provider refused the grant: skipped until signed in again
};

// Positions 1..n are elements 0..n-1.
using AccountArray = std::vector<AccountRecord>;

// Names the account in every log line: server, " - ", user name.
std::string AccountLabel(const AccountRecord& account);

// True when both records name the same mailbox: same server, user name and protocol.
bool SameMailbox(const AccountRecord& a, const AccountRecord& b);

}  // namespace vellora::core
