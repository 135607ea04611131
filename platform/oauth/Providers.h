// The providers Vellora knows how to sign in with, as data: where their sign-in page and
// token endpoint are, what to ask for, and where their mail servers listen. A generic preset
// takes its endpoints and scope from the options. The client id (and secret) is always the
// user's own, kept in the options.
#pragma once

#include <string>
#include <vector>

#include "platform/oauth/UrlForm.h"

namespace vellora::oauth {

struct ProviderPreset {
    std::string id;                      // what an account's record stores
    std::string displayName;             // what the account editor offers
    std::string authorizeUrl, tokenUrl;  // empty: typed by the user (generic)
    std::string imapScope, popScope;     // empty: typed by the user (generic)
    std::string imapServer, popServer;   // empty: typed in the account
    int imapPort = 993, popPort = 995;   // implicit TLS
    // The host name of the loopback redirect: some providers register "localhost" and ignore
    // the port; others take the loopback address itself (RFC 8252). We listen on 127.0.0.1.
    std::string redirectHost;
    bool issuesSecret = false;        // the provider gives desktop programs a client secret
    FormFields extraAuthorizeFields;  // e.g. what makes a provider issue a refresh token
};

// Google, Microsoft 365 and the generic preset, in the order the editor offers them.
const std::vector<ProviderPreset>& ProviderPresets();

// The preset with this id (letter case ignored); nullptr when unknown.
const ProviderPreset* FindPreset(const std::string& id);

// What one sign-in or refresh needs: the user's client and the endpoints.
struct ClientConfig {
    std::string clientId, clientSecret;
    std::string authorizeUrl, tokenUrl, scope;
    std::string redirectHost;
    FormFields extraAuthorizeFields;
    // Everything a sign-in needs is present (the secret is optional).
    bool Complete() const {
        return !clientId.empty() && !authorizeUrl.empty() && !tokenUrl.empty();
    }
};

// The preset's client config for IMAP or POP3, with the user's client id and secret and, for
// a preset without endpoints of its own, the typed ones.
struct TypedClient {
    std::string clientId, clientSecret;
    std::string authorizeUrl, tokenUrl, scope;  // used only where the preset has none
};
ClientConfig ResolveClient(const ProviderPreset& preset, const TypedClient& typed, bool imap);

}  // namespace vellora::oauth
