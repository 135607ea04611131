#include "platform/oauth/Providers.h"

#include <algorithm>
#include <cctype>

#include "platform/oauth/OAuthTexts.h"

namespace vellora::oauth {
namespace {
namespace tx = texts;

std::vector<ProviderPreset> BuildPresets() {
    ProviderPreset google;
    google.id = tx::kGoogleId;
    google.displayName = tx::kGoogleName;
    google.authorizeUrl = tx::kGoogleAuthorize;
    google.tokenUrl = tx::kGoogleToken;
    google.imapScope = google.popScope = tx::kGoogleScope;
    google.imapServer = tx::kGoogleImap;
    google.popServer = tx::kGooglePop;
    google.redirectHost = tx::kLoopbackAddress;
    google.issuesSecret = true;
    // Without these Google issues a refresh token only at the first consent ever given.
    google.extraAuthorizeFields = {{tx::kAccessTypeKey, tx::kAccessTypeOffline},
                                   {tx::kPromptKey, tx::kPromptConsent}};

    ProviderPreset microsoft;
    microsoft.id = tx::kMicrosoftId;
    microsoft.displayName = tx::kMicrosoftName;
    microsoft.authorizeUrl = tx::kMicrosoftAuthorize;
    microsoft.tokenUrl = tx::kMicrosoftToken;
    microsoft.imapScope = tx::kMicrosoftImapScope;
    microsoft.popScope = tx::kMicrosoftPopScope;
    microsoft.imapServer = microsoft.popServer = tx::kMicrosoftServer;
    // Entra ID registers desktop programs as "http://localhost" and ignores the port.
    microsoft.redirectHost = tx::kLocalhost;

    ProviderPreset generic;
    generic.id = tx::kGenericId;
    generic.displayName = tx::kGenericName;
    generic.redirectHost = tx::kLoopbackAddress;
    generic.issuesSecret = true;  // some do: the secret is sent when the user typed one
    return {google, microsoft, generic};
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

const std::vector<ProviderPreset>& ProviderPresets() {
    static const std::vector<ProviderPreset> presets = BuildPresets();
    return presets;
}

const ProviderPreset* FindPreset(const std::string& id) {
    for (const auto& p : ProviderPresets()) {
        if (SameText(p.id, id)) return &p;
    }
    return nullptr;
}

ClientConfig ResolveClient(const ProviderPreset& preset, const TypedClient& typed, bool imap) {
    ClientConfig c;
    c.clientId = typed.clientId;
    c.clientSecret = typed.clientSecret;
    c.authorizeUrl = preset.authorizeUrl.empty() ? typed.authorizeUrl : preset.authorizeUrl;
    c.tokenUrl = preset.tokenUrl.empty() ? typed.tokenUrl : preset.tokenUrl;
    const std::string& scope = imap ? preset.imapScope : preset.popScope;
    c.scope = scope.empty() ? typed.scope : scope;
    c.redirectHost = preset.redirectHost;
    c.extraAuthorizeFields = preset.extraAuthorizeFields;
    return c;
}

}  // namespace vellora::oauth
