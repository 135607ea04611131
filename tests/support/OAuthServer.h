// A private OAuth2 authorization server for tests (tests/support/oauth_server.py, Python's
// standard library) on 127.0.0.1: /authorize, /token, /introspect for Dovecot, and switches.
//
//   vtest::OAuthServer auth;
//   vtest::Dovecot dovecot({auth.introspectUrl()});
//   auth.Control("fail_next=1&fail_mode=500");   // the next token request answers 500
//
// A test plays the user's browser with FollowAuthorization: it asks /authorize as a browser
// would and follows the redirect to the loopback address the authorization URL names.
#pragma once

#include <string>

#include "tests/support/TestSupport.h"

namespace vtest {

struct TokenStats {
    int tokenRequests = 0, refreshes = 0, codeGrants = 0, introspections = 0;
    int liveRefreshTokens = 0;
    std::string raw;  // the whole JSON answer of /stats
};

class OAuthServer {
  public:
    OAuthServer();
    ~OAuthServer() { process_.stop(); }
    OAuthServer(const OAuthServer&) = delete;
    OAuthServer& operator=(const OAuthServer&) = delete;

    std::string url() const;  // http://127.0.0.1:<port>
    std::string authorizeUrl() const { return url() + "/authorize"; }
    std::string tokenUrl() const { return url() + "/token"; }
    std::string introspectUrl() const { return url() + "/introspect"; }
    std::string clientId() const { return "vellora-test-client"; }

    // Switches, as a query string: user, client_id, client_secret, access_ttl, rotate (0/1),
    // fail_next (count) with fail_mode (500, garbage, hang), expire_access, revoke (a user).
    void Control(const std::string& query) const;
    TokenStats Stats() const;
    // Tokens for the user as if a sign-in had just happened (no browser involved).
    struct Issued {
        std::string accessToken, refreshToken;
    };
    Issued Issue(const std::string& user) const;

    // The browser's part of a sign-in: GET the authorization URL (without following), then GET
    // the Location it redirects to, with `state` replaced when `stateOverride` is given.
    // Returns the page the loopback listener answered, or "" when nothing answered.
    static std::string FollowAuthorization(const std::string& authorizationUrl,
                                           const std::string* stateOverride = nullptr,
                                           long* loopbackStatus = nullptr);

  private:
    TempDir dir_{"oauth"};
    int port_ = 0;
    Process process_;
};

}  // namespace vtest
