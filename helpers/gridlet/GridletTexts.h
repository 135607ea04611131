// Gridlet's texts.
#pragma once

#include "shared/Literal.h"

namespace gridlet::texts {
inline constexpr auto kError = vellora::lit::Encode("The spreadsheet could not be printed: ");
}  // namespace gridlet::texts
