#include "services/notifyd/SmtpSender.h"

#include <curl/curl.h>

#include <cstring>
#include <memory>
#include <mutex>

#include "shared/Literal.h"

namespace vellora::notifyd {
namespace {

struct Reader {
    const std::string& data;
    std::size_t pos = 0;
};

size_t ReadMessage(char* buffer, size_t size, size_t n, void* user) {
    auto* r = static_cast<Reader*>(user);
    const std::size_t take = std::min(size * n, r->data.size() - r->pos);
    std::memcpy(buffer, r->data.data() + r->pos, take);
    r->pos += take;
    return take;
}

// Implicit TLS is the smtps scheme of the same relay address.
std::string RelayUrl(const Config& c) {
    std::string url = c.smtpUrl;
    if (c.tls == Tls::Implicit && url.rfind(VL("smtp://"), 0) == 0)
        url = VL("smtps") + url.substr(4);
    return url;
}

}  // namespace

std::optional<std::string> SendMail(const Config& c, const std::string& recipient,
                                    const std::string& message) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> h(curl_easy_init(), &curl_easy_cleanup);
    if (!h) return VL("curl_easy_init");
    CURL* e = h.get();
    const std::string url = RelayUrl(c), from = "<" + c.from + ">", to = "<" + recipient + ">";
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> rcpt(
        curl_slist_append(nullptr, to.c_str()), &curl_slist_free_all);
    Reader reader{message};
    char errbuf[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    const std::string protocols = VL("smtp,smtps");
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, protocols.c_str());
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_TIMEOUT, static_cast<long>(c.timeoutSeconds));
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, static_cast<long>(std::min(c.timeoutSeconds, 10)));
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errbuf);
    if (c.tls == Tls::StartTls)
        curl_easy_setopt(e, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    if (!c.caFile.empty()) curl_easy_setopt(e, CURLOPT_CAINFO, c.caFile.c_str());
    if (!c.user.empty()) {
        curl_easy_setopt(e, CURLOPT_USERNAME, c.user.c_str());
        curl_easy_setopt(e, CURLOPT_PASSWORD, c.password.c_str());
    }
    curl_easy_setopt(e, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(e, CURLOPT_MAIL_RCPT, rcpt.get());
    curl_easy_setopt(e, CURLOPT_READFUNCTION, ReadMessage);
    curl_easy_setopt(e, CURLOPT_READDATA, &reader);
    curl_easy_setopt(e, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(e, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
    const CURLcode rc = curl_easy_perform(e);
    if (rc == CURLE_OK) return std::nullopt;
    std::string reason = curl_easy_strerror(rc);
    if (errbuf[0]) reason += std::string(" (") + errbuf + ")";
    return reason;
}

}  // namespace vellora::notifyd
