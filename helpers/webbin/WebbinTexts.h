// Webbin's texts. Its two error texts follow the failed status text in every record.
//
// Waits (seconds, fractions allowed), for tests and measurements; the frame's
// VELLORA_WAIT_SCALE applies on top:
//   VELLORA_WEBBIN_LOAD_WAIT   how long the page may take to load completely (20)
//   VELLORA_WEBBIN_PRINT_WAIT  the pause after printing, for the spooler (10)
//   VELLORA_WEBBIN_WATCHDOG    the whole run's limit in real seconds (both waits + 90)
#pragma once

#include "shared/Literal.h"

namespace webbin::texts {
using vellora::lit::Encode;

inline constexpr auto kGeneralError = Encode("The HTML page could not be printed: ");
inline constexpr auto kNotReady =
    Encode("The HTML page was not completely loaded in time; nothing was printed");
inline constexpr auto kLoadWaitVariable = Encode("VELLORA_WEBBIN_LOAD_WAIT");
inline constexpr auto kPrintWaitVariable = Encode("VELLORA_WEBBIN_PRINT_WAIT");
inline constexpr auto kWatchdogVariable = Encode("VELLORA_WEBBIN_WATCHDOG");
inline constexpr auto kPdfFolder = Encode("/webbin-XXXXXX");
inline constexpr auto kPdfName = Encode("/page.pdf");
inline constexpr auto kEngineStuck = Encode("the HTML engine stopped responding");
inline constexpr auto kNoPage = Encode("the page does not exist: ");

}  // namespace webbin::texts
