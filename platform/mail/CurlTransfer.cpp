#include "platform/mail/CurlTransfer.h"

#include <cstdlib>
#include <mutex>

#include "shared/Literal.h"

namespace vellora::mail {
namespace {

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::size_t Append(char* data, std::size_t size, std::size_t n, void* user) {
    auto* sink = static_cast<CurlTransfer::Sink*>(user);
    const std::size_t bytes = size * n;
    if (!sink->active) return bytes;  // the goodbye at clean-up: nobody reads it
    if (sink->text.size() + bytes > sink->limit) return 0;  // ends the transfer: too large
    sink->text.append(data, bytes);
    return bytes;
}

long Seconds(std::chrono::milliseconds ms) {
    const long s = static_cast<long>((ms.count() + 999) / 1000);
    return s < 1 ? 1 : s;
}

}  // namespace

CurlTransfer::CurlTransfer(const TransferLimits& limits) : limits_(limits) {
    GlobalInit();
    handle_ = curl_easy_init();
    // Tests point at their own authority; everything else trusts the system store.
    if (const char* ca = std::getenv(VL("VELLORA_CA_FILE").c_str()); ca && *ca) caFile_ = ca;
    CURL* h = handle_;
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits_.connectTimeout.count()));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.operationTimeout.count()));
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, Seconds(limits_.stallTimeout));
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, Seconds(limits_.stallTimeout));
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, 256L * 1024L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, VL("pop3,pop3s,imap,imaps").c_str());
    if (!caFile_.empty()) curl_easy_setopt(h, CURLOPT_CAINFO, caFile_.c_str());
    body_.limit = limits_.maxBodyBytes;
    lines_.limit = 1u << 20;
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, Append);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &body_);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, Append);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &lines_);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errbuf_);
}

CurlTransfer::~CurlTransfer() {
    if (handle_) curl_easy_cleanup(handle_);
}

void CurlTransfer::SetLogin(const std::string& user, const std::string& password,
                            const std::string& loginOptions) {
    curl_easy_setopt(handle_, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(handle_, CURLOPT_PASSWORD, password.c_str());
    curl_easy_setopt(handle_, CURLOPT_LOGIN_OPTIONS,
                     loginOptions.empty() ? nullptr : loginOptions.c_str());
}

void CurlTransfer::SetBearer(const std::string& token) {
    curl_easy_setopt(handle_, CURLOPT_XOAUTH2_BEARER, token.empty() ? nullptr : token.c_str());
}

void CurlTransfer::RequireStartTls(bool on) {
    curl_easy_setopt(handle_, CURLOPT_USE_SSL, on ? CURLUSESSL_ALL : CURLUSESSL_NONE);
}

void CurlTransfer::SetVerbose(bool on) {
    curl_easy_setopt(handle_, CURLOPT_VERBOSE, on ? 1L : 0L);
}

TransferResult CurlTransfer::Perform(const std::string& url, const std::string& command,
                                     bool nobody) {
    TransferResult r;
    if (!handle_) {
        r.code = CURLE_FAILED_INIT;
        return r;
    }
    errbuf_[0] = 0;
    body_.text.clear();
    lines_.text.clear();
    body_.active = lines_.active = true;
    CURL* h = handle_;
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, command.empty() ? nullptr : command.c_str());
    curl_easy_setopt(h, CURLOPT_NOBODY, nobody ? 1L : 0L);
    r.code = curl_easy_perform(h);
    long connects = 0;
    curl_easy_getinfo(h, CURLINFO_NUM_CONNECTS, &connects);
    r.newConnection = connects > 0;
    body_.active = lines_.active = false;
    r.body = std::move(body_.text);
    r.lines = std::move(lines_.text);
    if (!r.ok()) {
        r.error = errbuf_[0] ? errbuf_ : curl_easy_strerror(r.code);
        r.body.clear();
    }
    return r;
}

}  // namespace vellora::mail
