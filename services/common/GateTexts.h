// The request gate's texts: header names and values it looks at, and the reasons it gives
// when it refuses a request. Kept encoded like every literal.
#pragma once

#include "shared/Literal.h"

namespace vellora::service::gate::texts {
using lit::Encode;

inline constexpr auto kHttp11 = Encode("HTTP/1.1");
inline constexpr auto kHttp10 = Encode("HTTP/1.0");
inline constexpr auto kHost = Encode("host");
inline constexpr auto kOrigin = Encode("origin");
inline constexpr auto kFetchSite = Encode("sec-fetch-site");
inline constexpr auto kCrossSite = Encode("cross-site");
inline constexpr auto kSameSite = Encode("same-site");
inline constexpr auto kContentEncoding = Encode("content-encoding");
inline constexpr auto kTransferEncoding = Encode("transfer-encoding");
inline constexpr auto kChunked = Encode("chunked");
inline constexpr auto kContentLength = Encode("content-length");
inline constexpr auto kExpect = Encode("expect");
inline constexpr auto kContinue = Encode("100-continue");
inline constexpr auto kLocalhost = Encode("localhost");
inline constexpr auto kLoopbackPrefix = Encode("127.");
inline constexpr auto kLoopback6 = Encode("::1");
inline constexpr auto kSchemeEnd = Encode("://");

// Reasons (the answer's text and the log line).
inline constexpr auto kHeadTooLarge = Encode("the request head is too large");
inline constexpr auto kBadRequestLine = Encode("not an HTTP/1.x request line");
inline constexpr auto kFoldedHeader = Encode("folded header lines are not taken");
inline constexpr auto kBadHeader = Encode("malformed header line");
inline constexpr auto kNoHost = Encode("exactly one Host header is needed");
inline constexpr auto kForeignHost = Encode("this service does not answer for that host");
inline constexpr auto kForeignOrigin = Encode("requests from other web sites are refused");
inline constexpr auto kEncoded = Encode("bodies with a content coding are refused");
inline constexpr auto kTransferCoding = Encode("the only transfer coding taken is chunked");
inline constexpr auto kBadLength = Encode("malformed or conflicting body length");
inline constexpr auto kTooLarge = Encode("the body is larger than this service takes");
inline constexpr auto kBadExpect = Encode("unknown expectation");
inline constexpr auto kBadChunk = Encode("malformed chunked body");
inline constexpr auto kTimedOut = Encode("the request did not arrive in time");
inline constexpr auto kBusy = Encode("too many connections, try again later");

}  // namespace vellora::service::gate::texts
