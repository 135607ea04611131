// HTTP requests over libcurl, always with time-outs, never through a shell.
#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace vellora::http {

struct Response {
    long status = 0;  // HTTP status, 0 when no answer came
    std::string body;
    std::string error;   // libcurl's description when the transfer failed
    int code = 0;        // libcurl's result code (0 when the transfer worked)
    std::string header;  // the answer's header lines as they came (status line first)
    bool ok() const { return error.empty() && status != 0; }
};

struct FormFile {
    std::string field;  // form field name
    std::string path;   // file to upload
};

// Percent-encodes every byte outside the unreserved set (RFC 3986).
std::string UrlEncode(const std::string& value);

Response Get(const std::string& url, std::chrono::milliseconds timeout);

// A multipart/form-data POST with text fields and one file.
Response PostForm(const std::string& url,
                  const std::vector<std::pair<std::string, std::string>>& fields,
                  const FormFile& file, std::chrono::milliseconds timeout);

// Downloads url into path (written over from its first byte).
Response Download(const std::string& url, const std::string& path,
                  std::chrono::milliseconds timeout);

}  // namespace vellora::http
