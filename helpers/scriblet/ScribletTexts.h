// Scriblet's texts.
#pragma once

#include "shared/Literal.h"

namespace scriblet::texts {
inline constexpr auto kError =
    vellora::lit::Encode("The word-processor document could not be printed: ");
}  // namespace scriblet::texts
