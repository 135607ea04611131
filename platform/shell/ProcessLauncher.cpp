#include "platform/shell/ProcessLauncher.h"

#include "platform/shell/Module1.h"

namespace vellora::shell {

bool ProcessLauncher::Launch(const std::string& cmdLine) {
    return Module1::LaunchProgram(cmdLine) > 0;
}

}  // namespace vellora::shell
