// The notification request as client and service both know it: one HTTP GET of
//   <base>/notify?kind=K&subject=S&body=B&to=R
// with every value percent-encoded. The service answers "SENT" (the success word, four
// characters) when the mail went out, otherwise a text that starts with "ERROR".
#pragma once

#include <string>

#include "platform/http/Http.h"
#include "shared/Literal.h"

namespace vellora::notify {
using lit::Encode;

inline constexpr auto kPath = Encode("/notify");
inline constexpr auto kKeyKind = Encode("kind");
inline constexpr auto kKeySubject = Encode("subject");
inline constexpr auto kKeyBody = Encode("body");
inline constexpr auto kKeyRecipient = Encode("to");
inline constexpr auto kSuccessWord = Encode("SENT");
inline constexpr auto kErrorWord = Encode("ERROR");

// The request address for one notification. The values are encoded here: a raw "&", "#" or
// blank would otherwise cut or split the value on its way to the service.
inline std::string RequestUrl(const std::string& base, const std::string& kind,
                              const std::string& subject, const std::string& body,
                              const std::string& recipient) {
    using http::UrlEncode;
    return base + kPath.str() + "?" + kKeyKind.str() + "=" + UrlEncode(kind) + "&" +
           kKeySubject.str() + "=" + UrlEncode(subject) + "&" + kKeyBody.str() + "=" +
           UrlEncode(body) + "&" + kKeyRecipient.str() + "=" + UrlEncode(recipient);
}

}  // namespace vellora::notify
