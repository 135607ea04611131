// One upper bound on the number of accounts and on the number of user rules. The main window
// holds the value in use; this is what it starts with.
#pragma once

#include <cstdint>

namespace vellora::core {

inline constexpr std::int16_t kDefaultItemLimit = 50;

}  // namespace vellora::core
