// A desktop sign-in (RFC 8252): the authorization-code flow with PKCE (S256). The user's web
// browser opens the provider's page; the provider sends the browser back to a loopback
// address where we listen, with a code and our `state`; the code and the PKCE verifier buy the
// tokens at the token endpoint. The browser is then told to return to Vellora.
//
// RunSignIn does it all in the calling thread and returns when it is done, cancelled or out of
// time; SignInTask runs it on a thread of its own, for a window that must not wait.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/oauth/Providers.h"
#include "platform/oauth/TokenService.h"

namespace vellora::oauth {

// Opens an address in the user's web browser without waiting for it; false when it could not.
using UrlOpener = std::function<bool(const std::string& url)>;

// The platform's opener (xdg-open).
bool OpenInSystemBrowser(const std::string& url);

struct SignInRequest {
    ClientConfig client;
    std::string loginHint;  // the mailbox's address, so the provider's page can offer it
    std::chrono::milliseconds timeout{std::chrono::minutes(5)};
};

enum class SignInStatus {
    kSignedIn,
    kNotConfigured,  // no client id or endpoint
    kNoPort,         // no loopback port could be opened
    kBrowserFailed,  // the browser could not be opened
    kCancelled,
    kTimedOut,       // no answer from the browser in time
    kWrongState,     // an answer not for this sign-in
    kProviderError,  // the provider sent an error (the user declined, a bad request)
    kNoCode,         // an answer without a code
    kTokenFailed,    // the token endpoint refused or failed
};

struct SignInResult {
    SignInStatus status = SignInStatus::kCancelled;
    std::string message;  // readable; "signed in" on success
    TokenAnswer tokens;   // on success: the access token, its lifetime, the refresh token
    bool ok() const { return status == SignInStatus::kSignedIn; }
};

// `onListening` (optional) learns the loopback port once it is open. Throws
// std::runtime_error only when the system has no random bytes to give.
SignInResult RunSignIn(const SignInRequest& request, const UrlOpener& opener, TokenService& tokens,
                       const std::atomic<bool>& cancel,
                       const std::function<void(int port)>& onListening = {});

// One sign-in on its own thread. Finished() may be polled from the window's timer; Cancel()
// ends it within a fraction of a second (the port is closed); the destructor cancels and waits.
class SignInTask {
  public:
    SignInTask(SignInRequest request, UrlOpener opener,
               std::shared_ptr<TokenService> tokens = std::make_shared<CurlTokenService>());
    ~SignInTask();
    SignInTask(const SignInTask&) = delete;
    SignInTask& operator=(const SignInTask&) = delete;

    void Start();
    void Cancel() { cancel_ = true; }
    bool Finished() const { return finished_; }
    // Blocks until the sign-in has ended; then its result.
    SignInResult Wait();
    int Port() const { return port_; }  // the loopback port while listening; 0 before

  private:
    SignInRequest request_;
    UrlOpener opener_;
    std::shared_ptr<TokenService> tokens_;
    std::atomic<bool> cancel_{false}, finished_{false};
    std::atomic<int> port_{0};
    std::thread thread_;
    SignInResult result_;
};

}  // namespace vellora::oauth
