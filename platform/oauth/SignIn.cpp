#include "platform/oauth/SignIn.h"

#include <exception>

#include "platform/oauth/LoopbackListener.h"
#include "platform/oauth/OAuthTexts.h"
#include "platform/oauth/Pkce.h"
#include "platform/oauth/UrlForm.h"
#include "platform/shell/Module1.h"

namespace vellora::oauth {
namespace {
namespace tx = texts;
using Clock = std::chrono::steady_clock;

SignInResult Outcome(SignInStatus status, std::string message) {
    SignInResult r;
    r.status = status;
    r.message = std::move(message);
    return r;
}

std::string EscapeHtml(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '<':
                out += VL("&lt;");
                break;
            case '>':
                out += VL("&gt;");
                break;
            case '&':
                out += VL("&amp;");
                break;
            case '"':
                out += VL("&quot;");
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string FailedPage(const std::string& message) {
    return tx::kPageFailedHead.str() + EscapeHtml(message) + tx::kPageFailedTail.str();
}

std::string AuthorizationUrl(const SignInRequest& request, const std::string& redirect,
                             const std::string& state, const std::string& verifier) {
    const ClientConfig& c = request.client;
    FormFields f = {
        {tx::kResponseType, tx::kCode}, {tx::kClientId, c.clientId}, {tx::kRedirectUri, redirect}};
    if (!c.scope.empty()) f.emplace_back(tx::kScope, c.scope);
    f.emplace_back(tx::kState, state);
    f.emplace_back(tx::kCodeChallenge, S256Challenge(verifier));
    f.emplace_back(tx::kCodeChallengeMethod, tx::kS256);
    if (!request.loginHint.empty()) f.emplace_back(tx::kLoginHint, request.loginHint);
    for (const auto& extra : c.extraAuthorizeFields) f.push_back(extra);
    return WithQuery(c.authorizeUrl, f);
}

// What came back to the loopback address, once it carries an answer for us.
struct Redirect {
    std::map<std::string, std::string> fields;
    LoopbackRequest request;
};

std::optional<Redirect> WaitForRedirect(LoopbackListener& listener, Clock::time_point deadline,
                                        const std::atomic<bool>& cancel, SignInResult& ended) {
    while (!cancel) {
        const auto now = Clock::now();
        if (now >= deadline) {
            ended = Outcome(SignInStatus::kTimedOut, tx::kMsgTimedOut);
            return std::nullopt;
        }
        const auto slice =
            std::min<Clock::duration>(deadline - now, std::chrono::milliseconds(200));
        auto request = listener.Next(std::chrono::duration_cast<std::chrono::milliseconds>(slice));
        if (!request) continue;
        // The browser also asks for an icon; only the redirect's own path carries the answer.
        if (request->path != "/") {
            listener.Respond(*request, 404, tx::kPageNotFound);
            continue;
        }
        auto fields = DecodeQuery(request->query);
        if (!fields.count(tx::kState) && !fields.count(tx::kCode) && !fields.count(tx::kError)) {
            listener.Respond(*request, 200, tx::kPageWaiting);
            continue;
        }
        return Redirect{std::move(fields), std::move(*request)};
    }
    ended = Outcome(SignInStatus::kCancelled, tx::kMsgCancelled);
    return std::nullopt;
}

SignInResult Redeem(const SignInRequest& request, TokenService& tokens, Redirect& r,
                    const std::string& redirectUri, const std::string& verifier,
                    const std::atomic<bool>& cancel, LoopbackListener& listener) {
    const std::string code = r.fields[tx::kCode];
    TokenAnswer answer = tokens.RedeemCode(request.client, code, verifier, redirectUri, &cancel);
    SignInResult result;
    if (answer.status == TokenStatus::kCancelled) {
        result = Outcome(SignInStatus::kCancelled, tx::kMsgCancelled);
    } else if (!answer.ok()) {
        result = Outcome(SignInStatus::kTokenFailed, tx::kMsgTokenFailed.str() + answer.message);
    } else if (answer.refreshToken.empty()) {
        result = Outcome(SignInStatus::kTokenFailed, tx::kMsgNoRefresh);
    } else {
        result = Outcome(SignInStatus::kSignedIn, tx::kMsgSignedIn);
        result.tokens = std::move(answer);
        listener.Respond(r.request, 200, tx::kPageDone);
        return result;
    }
    listener.Respond(r.request, 400, FailedPage(result.message));
    return result;
}

}  // namespace

bool OpenInSystemBrowser(const std::string& url) {
    try {
        return Module1::ShellRun(url, 1) > 31;
    } catch (const std::exception&) {
        return false;
    }
}

SignInResult RunSignIn(const SignInRequest& request, const UrlOpener& opener, TokenService& tokens,
                       const std::atomic<bool>& cancel,
                       const std::function<void(int port)>& onListening) {
    const ClientConfig& c = request.client;
    if (!c.Complete()) return Outcome(SignInStatus::kNotConfigured, tx::kMsgIncomplete);
    for (const std::string* url : {&c.authorizeUrl, &c.tokenUrl}) {
        if (!SafeEndpoint(*url)) {
            return Outcome(SignInStatus::kNotConfigured, tx::kMsgInsecure.str() + *url);
        }
    }
    LoopbackListener listener;
    std::string error;
    if (!listener.Open(&error)) return Outcome(SignInStatus::kNoPort, tx::kMsgNoPort.str() + error);
    const std::string host = c.redirectHost.empty() ? tx::kLoopbackAddress.str() : c.redirectHost;
    const std::string redirectUri = VL("http://") + host + ':' + std::to_string(listener.Port());
    const std::string verifier = NewCodeVerifier();
    const std::string state = RandomToken(16);
    const auto deadline = Clock::now() + request.timeout;
    if (onListening) onListening(listener.Port());
    if (!opener || !opener(AuthorizationUrl(request, redirectUri, state, verifier))) {
        return Outcome(SignInStatus::kBrowserFailed, tx::kMsgNoBrowser);
    }
    SignInResult ended;
    auto redirect = WaitForRedirect(listener, deadline, cancel, ended);
    if (!redirect) return ended;
    auto& fields = redirect->fields;
    if (fields[tx::kState] != state) {
        const SignInResult r = Outcome(SignInStatus::kWrongState, tx::kMsgWrongState);
        listener.Respond(redirect->request, 400, FailedPage(r.message));
        return r;
    }
    if (fields.count(tx::kError)) {
        std::string what = fields[tx::kError];
        if (!fields[tx::kErrorDescription].empty())
            what += " (" + fields[tx::kErrorDescription] + ")";
        const SignInResult r =
            Outcome(SignInStatus::kProviderError, tx::kMsgProviderRefused.str() + what);
        listener.Respond(redirect->request, 400, FailedPage(r.message));
        return r;
    }
    if (fields[tx::kCode].empty()) {
        const SignInResult r = Outcome(SignInStatus::kNoCode, tx::kMsgNoCode);
        listener.Respond(redirect->request, 400, FailedPage(r.message));
        return r;
    }
    return Redeem(request, tokens, *redirect, redirectUri, verifier, cancel, listener);
}

SignInTask::SignInTask(SignInRequest request, UrlOpener opener,
                       std::shared_ptr<TokenService> tokens)
    : request_(std::move(request)), opener_(std::move(opener)), tokens_(std::move(tokens)) {}

SignInTask::~SignInTask() {
    cancel_ = true;
    if (thread_.joinable()) thread_.join();
}

void SignInTask::Start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] {
        try {
            result_ =
                RunSignIn(request_, opener_, *tokens_, cancel_, [this](int port) { port_ = port; });
        } catch (const std::exception& e) {
            result_ = Outcome(SignInStatus::kNoPort, e.what());
        }
        port_ = 0;
        finished_ = true;
    });
}

SignInResult SignInTask::Wait() {
    if (thread_.joinable()) thread_.join();
    return result_;
}

}  // namespace vellora::oauth
