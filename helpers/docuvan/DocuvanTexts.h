// Docuvan's texts, kept together so their wording can be reviewed; all stored encoded.
#pragma once

#include "shared/Literal.h"

namespace docuvan::texts {
using vellora::lit::Encode;

inline constexpr auto kError = Encode("ERROR Docuvan: ");  // begins with the failed text
inline constexpr auto kStepSeparator = Encode(" :: ");     // between step number and description
inline constexpr auto kPdfType = Encode("pdf");            // the type sent to the service

}  // namespace docuvan::texts
