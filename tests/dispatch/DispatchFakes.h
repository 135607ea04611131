// A clock the test moves by hand and a launcher that only records what it was asked to start.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "main/core/Seams.h"

namespace vtest {

class ManualClock : public vellora::core::Clock {
  public:
    vellora::core::TimePoint now =
        std::chrono::system_clock::time_point{} + std::chrono::hours(24 * 365 * 50);
    vellora::core::TimePoint Now() override { return now; }
    void Advance(std::chrono::milliseconds d) { now += d; }
};

class RecordingLauncher : public vellora::core::Launcher {
  public:
    std::vector<std::string> launched;
    bool succeed = true;
    std::function<void(const std::string&)> onLaunch;  // e.g. what a helper would do at once
    bool Launch(const std::string& cmdLine) override {
        launched.push_back(cmdLine);
        if (onLaunch) onLaunch(cmdLine);
        return succeed;
    }
};

}  // namespace vtest
