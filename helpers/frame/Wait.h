// Timed waits of the helpers: polling loops against a deadline of "now + seconds". Time is a
// seam: the real clock, or a manual one in tests. The real clock can be made to run faster
// (VELLORA_WAIT_SCALE=0.05 makes ten seconds pass in half a second), so tests of the built
// programs see a wait expire without sitting through it.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace vellora::helper {

using TimePoint = std::chrono::system_clock::time_point;
using Duration = std::chrono::milliseconds;

class Clock {
  public:
    virtual ~Clock() = default;
    virtual TimePoint Now() = 0;
    virtual void Pause(Duration d) = 0;  // lets time pass (the real clock sleeps)
};

// Date and time of the system; with VELLORA_WAIT_SCALE = s (0 < s <= 1) its time runs 1/s as
// fast from the moment it was made.
class SystemClock : public Clock {
  public:
    SystemClock();
    TimePoint Now() override;
    void Pause(Duration d) override;

  private:
    double scale_ = 1.0;
    TimePoint start_;
};

// Time that moves only when told to; Pause advances it.
class ManualClock : public Clock {
  public:
    explicit ManualClock(TimePoint start = TimePoint{}) : now_(start) {}
    TimePoint Now() override { return now_; }
    void Pause(Duration d) override { now_ += d; }
    void Advance(Duration d) { now_ += d; }

  private:
    TimePoint now_;
};

// The process-wide real clock.
Clock& DefaultClock();

// A wait given in seconds by an environment variable (tests shorten the helpers' fixed
// waits this way); the fallback when it is unset, not a number or negative.
Duration SecondsFromEnvironment(const std::string& variable, Duration fallback);

// Polls until condition() holds or the deadline (now + timeout) has passed, pausing `poll`
// between turns and calling pump (if any) on every turn, before the test. The condition is
// tested at least once. True when it held.
bool WaitUntil(const std::function<bool()>& condition, Duration timeout, Clock& clock,
               Duration poll, const std::function<void()>& pump = {});

}  // namespace vellora::helper
