// Pictor's texts, kept together so their wording can be reviewed; all stored encoded.
#pragma once

#include "shared/Literal.h"

namespace pictor::texts {
using vellora::lit::Encode;

// Type tokens, compared exactly (letter case counts). The converter turns the converter
// type into the third direct type.
inline constexpr auto kConverterType = Encode("heic");
inline constexpr auto kDirect1 = Encode("jpg");
inline constexpr auto kDirect2 = Encode("jpeg");
inline constexpr auto kDirect3 = Encode("png");
inline constexpr auto kDirect4 = Encode("gif");
inline constexpr auto kDirect5 = Encode("tif");

// Error texts; each begins with the failed status text of the job store.
inline constexpr auto kError = Encode("ERROR Pictor: ");
inline constexpr auto kConvertedFileError =
    Encode("ERROR Pictor: the picture converter produced no picture");
inline constexpr auto kNoSandbox = Encode(
    "ERROR Pictor: the settings require the sandbox (bubblewrap) for the picture converter, "
    "but it cannot run here: ");
inline constexpr auto kStepSeparator = Encode(" - ");

// The converter's command text: between the program folder and the quoted source path.
inline constexpr auto kConverterCommand = Encode("/picconv \"");

}  // namespace pictor::texts
