// The HTML engine's texts, kept encoded like every literal.
#pragma once

#include "shared/Literal.h"

namespace vellora::html::texts {
using lit::Encode;

inline constexpr auto kPlatformVariable = Encode("QT_QPA_PLATFORM");
inline constexpr auto kOffscreen = Encode("offscreen");
inline constexpr auto kSandboxVariable = Encode("QTWEBENGINE_DISABLE_SANDBOX");
inline constexpr auto kChromiumFlagsVariable = Encode("QTWEBENGINE_CHROMIUM_FLAGS");
// No background traffic, no DNS look-ups ahead of time, no GPU process on a machine that
// may have no display at all.
inline constexpr auto kChromiumFlags = Encode(
    "--disable-background-networking --dns-prefetch-disable --disable-gpu "
    "--disable-features=NetworkPrediction");
// Switches that turn the engine's sandbox off (blank-separated, with a blank at each end).
// (--disable-setuid-sandbox is not one: the engine uses its namespace sandbox instead.)
inline constexpr auto kSandboxOffFlags = Encode(
    " --no-sandbox --disable-seccomp-filter-sandbox --disable-namespace-sandbox "
    "--single-process --no-zygote ");
inline constexpr auto kDataScheme = Encode("data");
inline constexpr auto kFileScheme = Encode("file");

inline constexpr auto kNoPage = Encode("the page does not exist: ");
inline constexpr auto kLoadFailed = Encode("the page could not be loaded: ");
inline constexpr auto kPrintFailed = Encode("the page could not be printed to PDF");
inline constexpr auto kPrintTimedOut = Encode("printing the page to PDF did not finish in time");

}  // namespace vellora::html::texts
