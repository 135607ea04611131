// OAuth2 sign-in of an account: the user's client per provider preset in the options, and the
// sign-in the account editor and the first-run wizard start for "Sign in with the provider's
// page". The forms call BeginSignIn, poll the task from their timer (never waiting on it),
// then hand a finished result to AccountTokens::SignedIn.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "main/core/AccountRecord.h"
#include "platform/oauth/Providers.h"
#include "platform/oauth/SignIn.h"

namespace vellora::core {

// The client id, secret and (for the generic preset) endpoints the user entered once in the
// options, for one preset. Absent keys read as empty. They are kept as typed: a desktop
// program's client secret is no secret (every copy of the program holds it, RFC 8252 8.5),
// and the user may enter them in the settings file by hand.
oauth::TypedClient ReadOAuthClient(const std::string& settingsPath, const std::string& presetId);
void SaveOAuthClient(const std::string& settingsPath, const std::string& presetId,
                     const oauth::TypedClient& client);

// The account's provider preset; nullptr for a password account or an unknown preset.
const oauth::ProviderPreset* PresetOf(const AccountRecord& account);

// What signing in or refreshing for this account needs: its preset resolved with the client
// from the options, for the account's protocol. Nothing when the preset is unknown.
std::optional<oauth::ClientConfig> ClientFor(const std::string& settingsPath,
                                             const AccountRecord& account);

// A new OAuth2 account takes the preset's server, port and secure transport, so the user types
// only the address (the generic preset keeps what the account holds).
void ApplyPreset(AccountRecord& account, const oauth::ProviderPreset& preset);

// Starts the sign-in for the account as edited (not yet saved is fine). Nothing, with *message
// set, when the options lack what the preset needs.
std::unique_ptr<oauth::SignInTask> BeginSignIn(
    const std::string& settingsPath, const AccountRecord& edited, std::string* message,
    oauth::UrlOpener opener = oauth::OpenInSystemBrowser,
    std::chrono::milliseconds timeout = std::chrono::minutes(5),
    std::shared_ptr<oauth::TokenService> service = nullptr);

}  // namespace vellora::core
