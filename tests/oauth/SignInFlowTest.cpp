// The desktop sign-in against a real authorization server of our own on 127.0.0.1: the test
// plays the browser, asking the provider's page and following its redirect to the loopback
// address. Every way a sign-in can go wrong ends with a clear result and a closed port.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>
#include <thread>

#include "platform/http/Http.h"
#include "platform/oauth/SignIn.h"
#include "platform/oauth/UrlForm.h"
#include "tests/support/OAuthServer.h"

namespace {
using namespace vellora::oauth;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

bool PortAccepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

// The user's browser: it opens the page on a thread of its own, as a real one would.
struct Browser {
    std::string stateOverride;  // non-empty: the redirect arrives with this state instead
    bool follow = true;         // false: the user never finishes on the provider's page
    std::string openedUrl, page;
    long status = 0;
    std::thread thread;
    ~Browser() {
        if (thread.joinable()) thread.join();
    }
    UrlOpener Opener() {
        return [this](const std::string& url) {
            openedUrl = url;
            if (follow) {
                thread = std::thread([this, url] {
                    page = vtest::OAuthServer::FollowAuthorization(
                        url, stateOverride.empty() ? nullptr : &stateOverride, &status);
                });
            }
            return true;
        };
    }
};

// The real token service with the verifier it sends replaced, as an attacker holding only the
// code would send it.
struct TamperedVerifier : TokenService {
    std::string verifier;
    CurlTokenService real;
    TokenAnswer RedeemCode(const ClientConfig& c, const std::string& code, const std::string&,
                           const std::string& redirect, const std::atomic<bool>* cancel) override {
        return real.RedeemCode(c, code, verifier, redirect, cancel);
    }
    TokenAnswer Refresh(const ClientConfig& c, const std::string& rt,
                        const std::atomic<bool>* cancel) override {
        return real.Refresh(c, rt, cancel);
    }
};

class SignInFlow : public ::testing::Test {
  protected:
    SignInRequest Request(std::chrono::milliseconds timeout = 10s) {
        SignInRequest r;
        r.client.clientId = server.clientId();
        r.client.authorizeUrl = server.authorizeUrl();
        r.client.tokenUrl = server.tokenUrl();
        r.client.scope = "mail";
        r.client.redirectHost = "127.0.0.1";
        r.loginHint = "anna";
        r.timeout = timeout;
        return r;
    }
    SignInResult Run(const SignInRequest& r, TokenService& tokens) {
        std::atomic<bool> cancel{false};
        return RunSignIn(r, browser.Opener(), tokens, cancel, [this](int p) { port = p; });
    }
    vtest::OAuthServer server;
    Browser browser;
    CurlTokenService tokens;
    int port = 0;
};

TEST_F(SignInFlow, TheWholeFlowGivesTokensAndTellsTheBrowserToReturn) {
    const SignInResult r = Run(Request(), tokens);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_FALSE(r.tokens.accessToken.empty());
    EXPECT_FALSE(r.tokens.refreshToken.empty());
    EXPECT_EQ(r.tokens.expiresIn, 3600);
    browser.thread.join();
    EXPECT_EQ(browser.status, 200);
    EXPECT_THAT(browser.page, HasSubstr("return to Vellora"));

    // What the provider's page was asked: PKCE S256, our state, a loopback redirect.
    const auto q = DecodeQuery(browser.openedUrl.substr(browser.openedUrl.find('?') + 1));
    EXPECT_EQ(q.at("code_challenge_method"), "S256");
    EXPECT_EQ(q.at("code_challenge").size(), 43u);
    EXPECT_GE(q.at("state").size(), 22u);
    EXPECT_EQ(q.at("redirect_uri"), "http://127.0.0.1:" + std::to_string(port));
    EXPECT_EQ(q.at("login_hint"), "anna");
    EXPECT_FALSE(PortAccepts(port));
    EXPECT_EQ(server.Stats().codeGrants, 1);
}

TEST_F(SignInFlow, AWrongStateIsRefusedBeforeAnyTokenIsAskedFor) {
    browser.stateOverride = "forged";
    const SignInResult r = Run(Request(), tokens);
    EXPECT_EQ(r.status, SignInStatus::kWrongState);
    EXPECT_THAT(r.message, HasSubstr("wrong state"));
    EXPECT_TRUE(r.tokens.refreshToken.empty());
    browser.thread.join();
    EXPECT_EQ(browser.status, 400);
    EXPECT_THAT(browser.page, HasSubstr("did not complete"));
    EXPECT_EQ(server.Stats().tokenRequests, 0);
    EXPECT_FALSE(PortAccepts(port));
}

TEST_F(SignInFlow, AMissingOrWrongVerifierGetsNoToken) {
    for (const std::string& verifier : {std::string(), std::string(43, 'A')}) {
        TamperedVerifier tampered;
        tampered.verifier = verifier;
        Browser fresh;
        std::atomic<bool> cancel{false};
        const SignInResult r = RunSignIn(Request(), fresh.Opener(), tampered, cancel);
        EXPECT_EQ(r.status, SignInStatus::kTokenFailed) << verifier;
        EXPECT_THAT(r.message, HasSubstr("PKCE verification failed"));
        EXPECT_TRUE(r.tokens.accessToken.empty());
        fresh.thread.join();
        EXPECT_THAT(fresh.page, HasSubstr("did not complete"));
    }
}

TEST_F(SignInFlow, ATokenEndpointAnswering500OrGarbageFailsTheSignInClearly) {
    const std::vector<std::pair<std::string, std::string>> modes = {
        {"500", "HTTP 500"}, {"garbage", "not a JSON object"}};
    for (const auto& [mode, expected] : modes) {
        server.Control("fail_next=1&fail_mode=" + mode);
        Browser fresh;
        std::atomic<bool> cancel{false};
        const SignInResult r = RunSignIn(Request(), fresh.Opener(), tokens, cancel);
        EXPECT_EQ(r.status, SignInStatus::kTokenFailed) << mode;
        EXPECT_THAT(r.message, HasSubstr(expected));
        fresh.thread.join();
        EXPECT_THAT(fresh.page, HasSubstr(expected));
    }
}

TEST_F(SignInFlow, ARedirectThatNeverComesTimesOutAndClosesThePort) {
    browser.follow = false;
    const auto start = std::chrono::steady_clock::now();
    const SignInResult r = Run(Request(800ms), tokens);
    EXPECT_EQ(r.status, SignInStatus::kTimedOut);
    EXPECT_THAT(r.message, HasSubstr("cancelled"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    ASSERT_GT(port, 0);
    EXPECT_FALSE(PortAccepts(port));
}

TEST_F(SignInFlow, ATaskOnItsOwnThreadCanBeCancelled) {
    browser.follow = false;
    SignInTask task(Request(60s), browser.Opener());
    task.Start();
    ASSERT_TRUE(vtest::WaitFor([&] { return task.Port() > 0; }, 5s));
    const int listening = task.Port();
    EXPECT_TRUE(PortAccepts(listening));
    EXPECT_FALSE(task.Finished());
    task.Cancel();
    ASSERT_TRUE(vtest::WaitFor([&] { return task.Finished(); }, 2s));
    EXPECT_EQ(task.Wait().status, SignInStatus::kCancelled);
    EXPECT_FALSE(PortAccepts(listening));
}

TEST_F(SignInFlow, AProviderErrorABrowserThatWillNotOpenAndMissingSettingsAreReported) {
    server.Control("client_id=another-client");  // the provider refuses our client id
    SignInResult r = Run(Request(), tokens);
    EXPECT_EQ(r.status, SignInStatus::kProviderError);
    EXPECT_THAT(r.message, HasSubstr("invalid_request"));

    std::atomic<bool> cancel{false};
    int closed = 0;
    r = RunSignIn(
        Request(), [](const std::string&) { return false; }, tokens, cancel,
        [&](int p) { closed = p; });
    EXPECT_EQ(r.status, SignInStatus::kBrowserFailed);
    EXPECT_FALSE(PortAccepts(closed));

    SignInRequest missing = Request();
    missing.client.clientId.clear();
    EXPECT_EQ(Run(missing, tokens).status, SignInStatus::kNotConfigured);
    SignInRequest plainHttp = Request();
    plainHttp.client.tokenUrl = "http://example.org/token";  // secrets never go out in clear
    r = Run(plainHttp, tokens);
    EXPECT_EQ(r.status, SignInStatus::kNotConfigured);
    EXPECT_THAT(r.message, HasSubstr("must use https"));
}

TEST_F(SignInFlow, StrayRequestsAndIdleConnectionsDoNotDisturbTheRedirect) {
    browser.follow = false;
    std::promise<void> listening;
    auto ready = listening.get_future();
    std::atomic<bool> cancel{false};
    auto flow = std::async(std::launch::async, [&] {
        return RunSignIn(Request(), browser.Opener(), tokens, cancel, [&](int p) {
            port = p;
            listening.set_value();
        });
    });
    ready.wait();
    // A spare connection that never sends, an icon request and a bare visit come first.
    const int idle = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(idle, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    const std::string base = "http://127.0.0.1:" + std::to_string(port);
    EXPECT_EQ(vellora::http::Get(base + "/favicon.ico", 5s).status, 404);
    EXPECT_EQ(vellora::http::Get(base + "/", 5s).status, 200);
    ASSERT_TRUE(vtest::WaitFor([&] { return !browser.openedUrl.empty(); }, 5s));
    const std::string page = vtest::OAuthServer::FollowAuthorization(browser.openedUrl);
    EXPECT_THAT(page, HasSubstr("signed in"));
    EXPECT_TRUE(flow.get().ok());
    ::close(idle);
}

}  // namespace
