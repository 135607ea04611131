#include "platform/oauth/TokenService.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "platform/oauth/FlatJson.h"
#include "platform/oauth/OAuthTexts.h"
#include "platform/oauth/UrlForm.h"

namespace vellora::oauth {
namespace {
namespace tx = texts;

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Sink {
    std::string text;
    std::size_t limit = 0;
    bool tooLarge = false;
};

std::size_t Append(char* data, std::size_t size, std::size_t n, void* user) {
    auto* sink = static_cast<Sink*>(user);
    if (sink->text.size() + size * n > sink->limit) {
        sink->tooLarge = true;
        return 0;
    }
    sink->text.append(data, size * n);
    return size * n;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* cancel = static_cast<const std::atomic<bool>*>(user);
    return cancel && cancel->load() ? 1 : 0;
}

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A provider's text, fit for one log line: no control characters, not too long.
std::string Printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (out.size() >= 300) break;
        out += c < 0x20 || c == 0x7F ? ' ' : static_cast<char>(c);
    }
    return out;
}

TokenAnswer Failure(TokenStatus status, std::string message, long httpStatus = 0) {
    TokenAnswer a;
    a.status = status;
    a.message = std::move(message);
    a.httpStatus = httpStatus;
    return a;
}

bool GrantIsDead(const std::string& error) {
    return error == tx::kInvalidGrant.str() || error == tx::kInteractionRequired.str() ||
           error == tx::kConsentRequired.str() || error == tx::kLoginRequired.str();
}

TokenAnswer ErrorAnswer(long httpStatus, const FlatObject& object) {
    const std::string error = StringMember(object, tx::kError).value_or("");
    std::string text = Printable(error);
    if (const auto d = StringMember(object, tx::kErrorDescription); d && !d->empty()) {
        text += " (" + Printable(*d) + ")";
    }
    const TokenStatus status =
        GrantIsDead(error) ? TokenStatus::kRefused : TokenStatus::kClientRejected;
    return Failure(status, tx::kMsgRefused.str() + text, httpStatus);
}

}  // namespace

bool SafeEndpoint(const std::string& url) {
    const std::string lower = Lower(url);
    if (lower.rfind(VL("https://"), 0) == 0) return lower.size() > 8;
    for (const std::string& host :
         {VL("http://127.0.0.1"), VL("http://localhost"), VL("http://[::1]")}) {
        if (lower.rfind(host, 0) == 0) {
            const char next = lower.size() > host.size() ? lower[host.size()] : '/';
            if (next == ':' || next == '/' || next == '?') return true;
        }
    }
    return false;
}

TokenAnswer InterpretTokenAnswer(long httpStatus, const std::string& body) {
    std::string parseError;
    const auto object = ParseFlatObject(body, &parseError);
    const bool hasError = object && StringMember(*object, tx::kError).has_value();
    if (httpStatus >= 400 && httpStatus < 500 && hasError) return ErrorAnswer(httpStatus, *object);
    if (httpStatus != 200) {
        return Failure(TokenStatus::kTransient,
                       tx::kMsgHttpStatus.str() + std::to_string(httpStatus), httpStatus);
    }
    if (!object) return Failure(TokenStatus::kTransient, tx::kMsgNotJson.str() + parseError, 200);
    if (hasError) return ErrorAnswer(httpStatus, *object);
    TokenAnswer a;
    a.httpStatus = httpStatus;
    a.accessToken = StringMember(*object, tx::kAccessToken).value_or("");
    if (a.accessToken.empty()) return Failure(TokenStatus::kTransient, tx::kMsgNoAccessToken, 200);
    if (const auto type = StringMember(*object, tx::kTokenType);
        type && Lower(*type) != tx::kBearer.str()) {
        return Failure(TokenStatus::kTransient, tx::kMsgNotBearer, 200);
    }
    a.refreshToken = StringMember(*object, tx::kRefreshToken).value_or("");
    const auto expires = IntegerMember(*object, tx::kExpiresIn);
    a.expiresIn = expires && *expires >= 0 ? *expires : -1;
    a.status = TokenStatus::kOk;
    return a;
}

TokenAnswer CurlTokenService::RedeemCode(const ClientConfig& client, const std::string& code,
                                         const std::string& verifier,
                                         const std::string& redirectUri,
                                         const std::atomic<bool>* cancel) {
    FormFields f = {{tx::kGrantType, tx::kGrantCode},
                    {tx::kCode, code},
                    {tx::kRedirectUri, redirectUri},
                    {tx::kClientId, client.clientId},
                    {tx::kCodeVerifier, verifier}};
    if (!client.clientSecret.empty()) f.emplace_back(tx::kClientSecret, client.clientSecret);
    return Post(client.tokenUrl, EncodeForm(f), cancel);
}

TokenAnswer CurlTokenService::Refresh(const ClientConfig& client, const std::string& refreshToken,
                                      const std::atomic<bool>* cancel) {
    FormFields f = {{tx::kGrantType, tx::kGrantRefresh},
                    {tx::kRefreshToken, refreshToken},
                    {tx::kClientId, client.clientId}};
    if (!client.clientSecret.empty()) f.emplace_back(tx::kClientSecret, client.clientSecret);
    return Post(client.tokenUrl, EncodeForm(f), cancel);
}

TokenAnswer CurlTokenService::Post(const std::string& url, const std::string& form,
                                   const std::atomic<bool>* cancel) const {
    if (!SafeEndpoint(url))
        return Failure(TokenStatus::kClientRejected, tx::kMsgInsecure.str() + url);
    GlobalInit();
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> h(curl_easy_init(), &curl_easy_cleanup);
    if (!h) return Failure(TokenStatus::kTransient, tx::kMsgUnreachable.str() + url);
    CURL* c = h.get();
    char errbuf[CURL_ERROR_SIZE] = {0};
    Sink sink;
    sink.limit = limits_.maxAnswerBytes;
    curl_slist* headers = curl_slist_append(nullptr, tx::kFormType.str().c_str());
    headers = curl_slist_append(headers, tx::kAcceptJson.str().c_str());
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, tx::kHttpSchemes.str().c_str());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits_.connectTimeout.count()));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.timeout.count()));
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    const std::string caFile = [] {
        const char* ca = std::getenv(tx::kCaFileEnv.str().c_str());
        return std::string(ca ? ca : "");
    }();
    if (!caFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, caFile.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, form.c_str());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE, static_cast<long>(form.size()));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Append);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errbuf);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(cancel));
    const CURLcode rc = curl_easy_perform(c);
    curl_slist_free_all(headers);
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if (rc == CURLE_ABORTED_BY_CALLBACK) return Failure(TokenStatus::kCancelled, tx::kMsgCancelled);
    if (sink.tooLarge) return Failure(TokenStatus::kTransient, tx::kMsgTooLarge, status);
    if (rc != CURLE_OK) {
        return Failure(TokenStatus::kTransient,
                       tx::kMsgUnreachable.str() + (errbuf[0] ? errbuf : curl_easy_strerror(rc)));
    }
    return InterpretTokenAnswer(status, sink.text);
}

}  // namespace vellora::oauth
