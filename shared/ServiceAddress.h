// Where the notification and conversion services are reached. Both run on the user's own
// machine by default; a deployment elsewhere names its own address, first through the
// environment (VELLORA_NOTIFY_URL, VELLORA_CONVERT_URL), then through the settings file
// ([Services] NotifyUrl, ConvertUrl). Every program asks here, so they all agree.
#pragma once

#include <string>

namespace vellora {

// Base addresses without a trailing "/", such as http://127.0.0.1:8631.
std::string NotifyServiceUrl();
std::string ConvertServiceUrl();

// The default ports of the two services on 127.0.0.1.
inline constexpr int kDefaultNotifyPort = 8631;
inline constexpr int kDefaultConvertPort = 8632;

}  // namespace vellora
