// Slidor's texts.
#pragma once

#include "shared/Literal.h"

namespace slidor::texts {
inline constexpr auto kError = vellora::lit::Encode("The presentation could not be printed: ");
}  // namespace slidor::texts
