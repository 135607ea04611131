#include "main/core/AccountSignIn.h"

#include "platform/oauth/OAuthTexts.h"
#include "shared/Profile.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"

namespace vellora::core {
namespace {
namespace t = vellora::texts;

std::string Key(const std::string& role, const std::string& presetId) {
    return role + '.' + presetId;
}

std::string TextOrEmpty(const std::string& path, const std::string& key) {
    const auto v = profile::ReadString(path, t::kGeneralSection.str(), key);
    return v ? *v : std::string();
}

}  // namespace

oauth::TypedClient ReadOAuthClient(const std::string& path, const std::string& presetId) {
    oauth::TypedClient c;
    c.clientId = TextOrEmpty(path, Key(t::kKeyOAuthClientId, presetId));
    c.clientSecret = TextOrEmpty(path, Key(t::kKeyOAuthClientSecret, presetId));
    c.authorizeUrl = TextOrEmpty(path, Key(t::kKeyOAuthAuthorizeUrl, presetId));
    c.tokenUrl = TextOrEmpty(path, Key(t::kKeyOAuthTokenUrl, presetId));
    c.scope = TextOrEmpty(path, Key(t::kKeyOAuthScope, presetId));
    return c;
}

void SaveOAuthClient(const std::string& path, const std::string& presetId,
                     const oauth::TypedClient& c) {
    const std::string section = t::kGeneralSection;
    using basINI_IO::WriteSettingText;
    WriteSettingText(c.clientId, path, section, Key(t::kKeyOAuthClientId, presetId));
    WriteSettingText(c.clientSecret, path, section, Key(t::kKeyOAuthClientSecret, presetId));
    const oauth::ProviderPreset* preset = oauth::FindPreset(presetId);
    // Endpoints are kept only for a preset that has none of its own.
    if (preset && !preset->authorizeUrl.empty()) return;
    WriteSettingText(c.authorizeUrl, path, section, Key(t::kKeyOAuthAuthorizeUrl, presetId));
    WriteSettingText(c.tokenUrl, path, section, Key(t::kKeyOAuthTokenUrl, presetId));
    WriteSettingText(c.scope, path, section, Key(t::kKeyOAuthScope, presetId));
}

const oauth::ProviderPreset* PresetOf(const AccountRecord& account) {
    if (account.auth != AuthMethod::kOAuth2) return nullptr;
    return oauth::FindPreset(account.oauthProvider);
}

std::optional<oauth::ClientConfig> ClientFor(const std::string& path,
                                             const AccountRecord& account) {
    const oauth::ProviderPreset* preset = PresetOf(account);
    if (!preset) return std::nullopt;
    // POP3 wins where both protocols are ticked, as in the check itself.
    const bool imap = !account.pop && account.imap;
    return oauth::ResolveClient(*preset, ReadOAuthClient(path, preset->id), imap);
}

void ApplyPreset(AccountRecord& account, const oauth::ProviderPreset& preset) {
    account.auth = AuthMethod::kOAuth2;
    account.oauthProvider = preset.id;
    const bool imap = !account.pop && account.imap;
    const std::string& server = imap ? preset.imapServer : preset.popServer;
    if (server.empty()) return;
    account.server = server;
    account.port = imap ? preset.imapPort : preset.popPort;
    account.ssl = true;
    account.encryptedLogin = account.ntlm = false;
}

std::unique_ptr<oauth::SignInTask> BeginSignIn(const std::string& path, const AccountRecord& edited,
                                               std::string* message, oauth::UrlOpener opener,
                                               std::chrono::milliseconds timeout,
                                               std::shared_ptr<oauth::TokenService> service) {
    const auto client = ClientFor(path, edited);
    if (!client || !client->Complete()) {
        if (message) *message = oauth::texts::kMsgIncomplete;
        return nullptr;
    }
    oauth::SignInRequest request;
    request.client = *client;
    request.loginHint = edited.user;
    request.timeout = timeout;
    if (!service) service = std::make_shared<oauth::CurlTokenService>();
    auto task = std::make_unique<oauth::SignInTask>(std::move(request), std::move(opener),
                                                    std::move(service));
    task->Start();
    return task;
}

}  // namespace vellora::core
