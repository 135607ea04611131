#pragma once

#include "main/core/Seams.h"

namespace vellora::core {

class SystemClock : public Clock {
  public:
    TimePoint Now() override;
};

}  // namespace vellora::core
