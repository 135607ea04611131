// The dispatcher's way of starting helper programs.
#pragma once

#include "main/core/Seams.h"

namespace vellora::shell {

class ProcessLauncher : public core::Launcher {
  public:
    bool Launch(const std::string& cmdLine) override;
};

}  // namespace vellora::shell
