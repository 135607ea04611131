// The most accounts and the most user rules the program keeps (the default rule not counted).
#pragma once

namespace vellora::core {

inline constexpr int kItemLimit = 100;

}  // namespace vellora::core
