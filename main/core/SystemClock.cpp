#include "main/core/SystemClock.h"

namespace vellora::core {

TimePoint SystemClock::Now() {
    return std::chrono::system_clock::now();
}

}  // namespace vellora::core
