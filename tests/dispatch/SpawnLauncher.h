// A launcher that starts the command line's program with posix_spawn, the argument text as
// one argument, without LPDEST and PRINTER, as the main program's launcher does.
#pragma once

#include <sys/types.h>

#include <vector>

#include "main/core/Seams.h"

namespace vtest {

class SpawnLauncher : public vellora::core::Launcher {
  public:
    ~SpawnLauncher() override;  // collects every child still unreaped
    bool Launch(const std::string& cmdLine) override;
    std::vector<pid_t> children;
};

}  // namespace vtest
