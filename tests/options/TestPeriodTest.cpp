// The test-only check period: checks follow it in place of the interval's minutes, and an
// interval of 0 still switches checking off.
#include <gtest/gtest.h>

#include "main/core/Scheduler.h"
#include "main/core/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace std::chrono_literals;
using vellora::core::Scheduler;

struct CountingCheck : vellora::core::MailCheck {
    int calls = 0;
    void RunMailCheck() override { ++calls; }
    bool Running() const override { return false; }
};

TEST(TestPeriod, ChecksFollowThePeriodButNotAnIntervalOfZero) {
    vtest::TempDir dir("test-period");
    vellora::core::FakeClock clock;
    Scheduler sched{clock, dir / "vellora.ini", dir / "temp"};
    CountingCheck check;
    sched.SetMailCheck(&check);
    sched.SetTestPeriod(std::chrono::seconds(3));
    sched.Start(10, false);
    clock.Advance(2s);
    sched.Tick("10");
    EXPECT_EQ(check.calls, 0);
    clock.Advance(1s);
    sched.Tick("10");
    EXPECT_EQ(check.calls, 1);
    clock.Advance(3s);
    sched.Tick("10");
    EXPECT_EQ(check.calls, 2);
    clock.Advance(10s);
    sched.Tick("0");
    EXPECT_EQ(check.calls, 2);
}

}  // namespace
