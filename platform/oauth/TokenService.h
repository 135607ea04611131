// The token endpoint (RFC 6749 sections 4.1.3 and 6): an authorization code with its PKCE
// verifier for the first tokens, a refresh token for later ones. Every request has a connect
// and an overall time-out and can be cancelled from another thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/oauth/Providers.h"

namespace vellora::oauth {

enum class TokenStatus {
    kOk,
    kRefused,         // the grant is dead (revoked, expired, used): the user must sign in again
    kClientRejected,  // the client id, secret or request is wrong: the options need a fix
    kTransient,       // no answer, a server error or an answer that makes no sense: try later
    kCancelled,
};

struct TokenAnswer {
    TokenStatus status = TokenStatus::kTransient;
    std::string accessToken;
    std::string refreshToken;     // empty: the provider did not rotate it; keep the old one
    std::int64_t expiresIn = -1;  // seconds; -1 when the answer gave no lifetime
    std::string message;          // what went wrong, readable; empty on success
    long httpStatus = 0;
    bool ok() const { return status == TokenStatus::kOk; }
};

class TokenService {
  public:
    virtual ~TokenService() = default;
    virtual TokenAnswer RedeemCode(const ClientConfig& client, const std::string& code,
                                   const std::string& verifier, const std::string& redirectUri,
                                   const std::atomic<bool>* cancel = nullptr) = 0;
    virtual TokenAnswer Refresh(const ClientConfig& client, const std::string& refreshToken,
                                const std::atomic<bool>* cancel = nullptr) = 0;
};

struct TokenLimits {
    std::chrono::milliseconds connectTimeout{10000};
    std::chrono::milliseconds timeout{30000};
    std::size_t maxAnswerBytes = 256 * 1024;
};

// Over libcurl. Endpoints must be https, or http on the loopback interface; certificates are
// verified (against the CA file named by VELLORA_CA_FILE when set).
class CurlTokenService : public TokenService {
  public:
    CurlTokenService() = default;
    explicit CurlTokenService(const TokenLimits& limits) : limits_(limits) {}
    TokenAnswer RedeemCode(const ClientConfig& client, const std::string& code,
                           const std::string& verifier, const std::string& redirectUri,
                           const std::atomic<bool>* cancel = nullptr) override;
    TokenAnswer Refresh(const ClientConfig& client, const std::string& refreshToken,
                        const std::atomic<bool>* cancel = nullptr) override;

  private:
    TokenAnswer Post(const std::string& url, const std::string& form,
                     const std::atomic<bool>* cancel) const;
    TokenLimits limits_;
};

// What an answer of the token endpoint means.
TokenAnswer InterpretTokenAnswer(long httpStatus, const std::string& body);

// True for https addresses, and for http ones on the loopback interface.
bool SafeEndpoint(const std::string& url);

}  // namespace vellora::oauth
