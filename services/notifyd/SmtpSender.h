// Hands one composed message to the SMTP relay (libcurl), with time-outs on every step.
#pragma once

#include <optional>
#include <string>

#include "services/notifyd/Config.h"

namespace vellora::notifyd {

// Returns the reason when the relay did not take the message, nothing when it did.
std::optional<std::string> SendMail(const Config& config, const std::string& recipient,
                                    const std::string& message);

}  // namespace vellora::notifyd
