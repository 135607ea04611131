// One reused libcurl easy handle: one connection and one login for a whole mailbox session.
// Every transfer carries the connect, stall and overall time-outs, so a server that stops
// answering never freezes the caller.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <string>

namespace vellora::mail {

struct TransferLimits {
    std::chrono::milliseconds connectTimeout{15000};
    std::chrono::milliseconds operationTimeout{180000};  // one whole transfer
    std::chrono::milliseconds stallTimeout{30000};       // no data at all for this long
    std::size_t maxBodyBytes = 256u << 20;               // a bigger answer is refused
};

struct TransferResult {
    CURLcode code = CURLE_OK;
    std::string body;            // the transfer's data (a message, a listing, untagged lines)
    std::string lines;           // the server's response lines of this transfer
    std::string error;           // libcurl's detailed description on failure
    bool newConnection = false;  // libcurl had to connect (and log in) again for this transfer
    bool ok() const { return code == CURLE_OK; }
};

class CurlTransfer {
  public:
    explicit CurlTransfer(const TransferLimits& limits);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Login options are libcurl's (";AUTH=PLAIN" style without the leading ";").
    void SetLogin(const std::string& user, const std::string& password,
                  const std::string& loginOptions);
    // An OAuth2 access token for SASL OAUTHBEARER or XOAUTH2; empty: none.
    void SetBearer(const std::string& token);
    // STARTTLS on a plain-scheme URL; implicit TLS comes from the pop3s/imaps scheme.
    void RequireStartTls(bool on);
    void SetVerbose(bool on);

    // A custom command when `command` is not empty; `nobody` for single-line POP3 answers.
    TransferResult Perform(const std::string& url, const std::string& command, bool nobody);

    struct Sink {
        std::string text;
        std::size_t limit = 0;
        bool active = false;
    };

  private:
    CURL* handle_ = nullptr;
    Sink body_, lines_;
    char errbuf_[CURL_ERROR_SIZE] = {0};
    TransferLimits limits_;
    std::string caFile_;
};

}  // namespace vellora::mail
