#include "platform/http/Http.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>

namespace vellora::http {
namespace {

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

using Easy = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

Easy NewHandle(const std::string& url, std::chrono::milliseconds timeout) {
    GlobalInit();
    Easy h(curl_easy_init(), &curl_easy_cleanup);
    curl_easy_setopt(h.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(h.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h.get(), CURLOPT_TIMEOUT_MS, static_cast<long>(timeout.count()));
    curl_easy_setopt(h.get(), CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(std::min<long long>(timeout.count(), 10000)));
    curl_easy_setopt(h.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    return h;
}

size_t AppendBody(char* data, size_t size, size_t n, void* user) {
    static_cast<std::string*>(user)->append(data, size * n);
    return size * n;
}

size_t WriteToFile(char* data, size_t size, size_t n, void* user) {
    return std::fwrite(data, size, n, static_cast<std::FILE*>(user)) * size;
}

size_t AppendHeader(char* data, size_t size, size_t n, void* user) {
    auto* header = static_cast<std::string*>(user);
    // Only the final answer's header: a redirect or "100 Continue" starts a new one.
    if (n * size > 5 && std::string(data, 5) == "HTTP/") header->clear();
    header->append(data, size * n);
    return size * n;
}

Response Perform(CURL* h) {
    Response r;
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, AppendHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &r.header);
    const CURLcode rc = curl_easy_perform(h);
    r.code = static_cast<int>(rc);
    if (rc != CURLE_OK) r.error = curl_easy_strerror(rc);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &r.status);
    return r;
}

}  // namespace

std::string UrlEncode(const std::string& value) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : value) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

Response Get(const std::string& url, std::chrono::milliseconds timeout) {
    auto h = NewHandle(url, timeout);
    std::string body;
    curl_easy_setopt(h.get(), CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(h.get(), CURLOPT_WRITEDATA, &body);
    Response r = Perform(h.get());
    r.body = std::move(body);
    return r;
}

Response PostForm(const std::string& url,
                  const std::vector<std::pair<std::string, std::string>>& fields,
                  const FormFile& file, std::chrono::milliseconds timeout) {
    auto h = NewHandle(url, timeout);
    std::unique_ptr<curl_mime, decltype(&curl_mime_free)> mime(curl_mime_init(h.get()),
                                                               &curl_mime_free);
    for (const auto& [name, value] : fields) {
        curl_mimepart* part = curl_mime_addpart(mime.get());
        curl_mime_name(part, name.c_str());
        curl_mime_data(part, value.c_str(), value.size());
    }
    curl_mimepart* part = curl_mime_addpart(mime.get());
    curl_mime_name(part, file.field.c_str());
    Response r;
    if (curl_mime_filedata(part, file.path.c_str()) != CURLE_OK) {
        r.error = "cannot read " + file.path;
        r.code = CURLE_READ_ERROR;
        return r;
    }
    curl_easy_setopt(h.get(), CURLOPT_MIMEPOST, mime.get());
    std::string body;
    curl_easy_setopt(h.get(), CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(h.get(), CURLOPT_WRITEDATA, &body);
    r = Perform(h.get());
    r.body = std::move(body);
    return r;
}

Response Download(const std::string& url, const std::string& path,
                  std::chrono::milliseconds timeout) {
    auto h = NewHandle(url, timeout);
    std::unique_ptr<std::FILE, decltype(&std::fclose)> f(std::fopen(path.c_str(), "wb"),
                                                         &std::fclose);
    Response r;
    if (!f) {
        r.error = "cannot write " + path;
        r.code = CURLE_WRITE_ERROR;
        return r;
    }
    curl_easy_setopt(h.get(), CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(h.get(), CURLOPT_WRITEDATA, f.get());
    return Perform(h.get());
}

}  // namespace vellora::http
