// The check timer's logic without a window: interval text, due checks, labels, tray tip and
// the clean-up of the temporary folder, all on a fake clock.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include "main/core/Scheduler.h"
#include "main/core/ScriptedDialogs.h"
#include "main/core/TimeText.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;
using namespace std::chrono;

namespace {

struct CountingDispatch : JobDispatch {
    int calls = 0;
    void CheckJobs() override { ++calls; }
};

struct ScriptedCheck : MailCheck {
    int calls = 0;
    bool running = false;
    std::function<void()> during;
    void RunMailCheck() override {
        ++calls;
        running = true;
        if (during) during();
        running = false;
    }
    bool Running() const override { return running; }
};

// Noon, so that whole days back never cross a midnight through a clock change.
TimePoint Noon() {
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 2;
    tm.tm_mday = 10;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    return system_clock::from_time_t(std::mktime(&tm));
}

class SchedulerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        settings = dir / "vellora.ini";
        temp = dir / "temp";
        mkdir(temp.c_str(), 0755);
        sched.SetDispatch(&dispatch);
        sched.SetMailCheck(&check);
        Scheduler::View view;
        view.lastCheckLabel = [this](const std::string& t) { lastLabel = t; };
        view.nextCheckLabel = [this](const std::string& t) { nextLabel = t; };
        view.trayTip = [this](const std::string& t) { tip = t; };
        sched.SetView(view);
        sched.SetCaption("Vellora");
    }
    void TearDown() override { vellora::SetAppFolderForTesting(""); }
    int StoredInterval() {
        return basINI_IO::ReadSettingNumber(settings, vellora::texts::kGeneralSection,
                                            vellora::texts::kKeyInterval);
    }

    vtest::TempDir dir{"window-sched"};
    std::string settings, temp;
    FakeClock clock{Noon()};
    Scheduler sched{clock, dir / "vellora.ini", dir / "temp"};
    CountingDispatch dispatch;
    ScriptedCheck check;
    std::string lastLabel, nextLabel = "unset", tip;
};

TEST(IntervalText, LeadingWholeNumberCountsAndAnythingElseKeepsTheInterval) {
    EXPECT_EQ(Scheduler::ParseInterval("15"), 15);
    EXPECT_EQ(Scheduler::ParseInterval(" 7 min"), 7);
    EXPECT_EQ(Scheduler::ParseInterval("0"), 0);
    EXPECT_EQ(Scheduler::ParseInterval("+3"), 3);
    EXPECT_EQ(Scheduler::ParseInterval("32767"), 32767);
    EXPECT_FALSE(Scheduler::ParseInterval(""));
    EXPECT_FALSE(Scheduler::ParseInterval("abc"));
    EXPECT_FALSE(Scheduler::ParseInterval("-5"));
    EXPECT_FALSE(Scheduler::ParseInterval("32768"));
    EXPECT_FALSE(Scheduler::ParseInterval("99999999999999999999"));
}

TEST_F(SchedulerTest, StoredIntervalDefaultsToTenAndReadsBack) {
    EXPECT_EQ(sched.ReadStoredInterval(), 10);
    basINI_IO::WriteSettingNumber(25, settings, vellora::texts::kGeneralSection,
                                  vellora::texts::kKeyInterval);
    EXPECT_EQ(sched.ReadStoredInterval(), 25);
}

TEST_F(SchedulerTest, FirstCheckComesOneIntervalAfterStartUnlessCheckAtStartup) {
    sched.Start(10, false);
    EXPECT_EQ(sched.NextCheck(), Noon() + minutes(10));
    EXPECT_EQ(nextLabel, "00:10:00");
    sched.Tick("10");
    EXPECT_EQ(check.calls, 0);
    clock.Advance(minutes(10));
    sched.Tick("10");
    EXPECT_EQ(check.calls, 1);

    Scheduler eager{clock, settings, temp};
    eager.SetMailCheck(&check);
    eager.Start(10, true);
    eager.Tick("10");
    EXPECT_EQ(check.calls, 2);
}

TEST_F(SchedulerTest, NonNumericTextKeepsTheIntervalAndWritesNothing) {
    sched.Start(10, false);
    clock.Advance(minutes(3));
    sched.Tick("ten");
    EXPECT_EQ(sched.IntervalMinutes(), 10);
    EXPECT_EQ(sched.NextCheck(), Noon() + minutes(10));
    EXPECT_EQ(StoredInterval(), -1);
}

TEST_F(SchedulerTest, ZeroStopsChecksButNotTheDispatcher) {
    sched.Start(10, true);
    for (int i = 0; i < 5; ++i) {
        sched.Tick("0");
        clock.Advance(hours(1));
    }
    EXPECT_EQ(check.calls, 0);
    EXPECT_EQ(dispatch.calls, 5);
    EXPECT_EQ(nextLabel, "");
    EXPECT_EQ(StoredInterval(), 0);
}

TEST_F(SchedulerTest, CheckLongerThanTheIntervalIsFollowedAFullIntervalAfterItsEnd) {
    sched.Start(10, true);
    check.during = [this] { clock.Advance(minutes(25)); };
    sched.Tick("10");
    ASSERT_EQ(check.calls, 1);
    const TimePoint end = Noon() + minutes(25);
    EXPECT_EQ(sched.LastCheck(), Noon());
    EXPECT_EQ(sched.NextCheck(), end + minutes(10));
    EXPECT_EQ(lastLabel, FormatLocal(Noon(), "%Y-%m-%d %H:%M:%S"));
    check.during = nullptr;
    clock.Set(end + minutes(9) + seconds(55));
    sched.Tick("10");
    EXPECT_EQ(check.calls, 1);
    EXPECT_EQ(nextLabel, "00:00:05");
    clock.Set(end + minutes(10));
    sched.Tick("10");
    EXPECT_EQ(check.calls, 2);
}

TEST_F(SchedulerTest, TickDuringACheckStartsNoSecondCheckButStillDispatches) {
    sched.Start(1, true);
    check.during = [this] {
        clock.Advance(minutes(5));
        sched.Tick("1");
        sched.Tick("1");
    };
    sched.Tick("1");
    EXPECT_EQ(check.calls, 1);
    EXPECT_EQ(dispatch.calls, 3);
}

TEST_F(SchedulerTest, ATickInsideTheDispatcherDoesNotRunItAgain) {
    struct Nesting : JobDispatch {
        Scheduler* sched = nullptr;
        int calls = 0;
        void CheckJobs() override {
            if (++calls == 1) sched->Tick("10");
        }
    } nesting;
    nesting.sched = &sched;
    sched.SetDispatch(&nesting);
    sched.Start(10, true);
    sched.Tick("10");
    EXPECT_EQ(nesting.calls, 1);
    EXPECT_EQ(check.calls, 1);  // the nested tick still did the rest of its work
    sched.Tick("10");
    EXPECT_EQ(nesting.calls, 2);
}

TEST_F(SchedulerTest, WithoutAMailCheckTheScheduleStillMovesOn) {
    sched.SetMailCheck(nullptr);
    sched.Start(10, true);
    sched.Tick("10");
    EXPECT_EQ(sched.NextCheck(), Noon() + minutes(10));
    EXPECT_FALSE(lastLabel.empty());
    EXPECT_EQ(nextLabel, "00:10:00");
}

TEST_F(SchedulerTest, TrayTipNamesBothChecksAndIsCutTo64) {
    sched.Start(10, true);
    sched.Tick("10");
    EXPECT_LE(tip.size(), Scheduler::kTipLength);
    EXPECT_EQ(tip.rfind("Vellora", 0), 0u);
    EXPECT_NE(tip.find(lastLabel), std::string::npos);

    const std::string longCaption(70, 'x');
    EXPECT_EQ(Scheduler::BuildTrayTip(longCaption, "a", "b"), std::string(64, 'x'));
    // A cut never splits a character: 63 x and a two-byte letter leave 63 bytes.
    const std::string tip2 = Scheduler::BuildTrayTip(std::string(63, 'x') + "\xC3\xA9", "", "");
    EXPECT_EQ(tip2, std::string(63, 'x'));
}

void Touch(const std::string& path, TimePoint when) {
    vtest::WriteFile(path, "x");
    const std::time_t t = system_clock::to_time_t(when);
    utimbuf times{t, t};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
}

TEST_F(SchedulerTest, FilesOlderThanThreeCalendarDaysGoAndOthersStay) {
    Touch(temp + "/four.html", Noon() - hours(24 * 4));
    Touch(temp + "/three.html", Noon() - hours(24 * 3));
    // Late on the fourth day back is still more than three days before today; early on the
    // third day back is not.
    Touch(temp + "/four-late.pdf", Noon() - hours(24 * 4) + hours(11) + minutes(59));
    Touch(temp + "/three-early.pdf", Noon() - hours(24 * 3) - hours(11) - minutes(59));
    Touch(temp + "/today.png", Noon());
    mkdir((temp + "/old-folder").c_str(), 0755);
    Touch(temp + "/old-folder/inner.txt", Noon() - hours(24 * 30));
    sched.Start(10, false);
    sched.Tick("10");
    EXPECT_FALSE(vtest::Exists(temp + "/four.html"));
    EXPECT_FALSE(vtest::Exists(temp + "/four-late.pdf"));
    EXPECT_TRUE(vtest::Exists(temp + "/three.html"));
    EXPECT_TRUE(vtest::Exists(temp + "/three-early.pdf"));
    EXPECT_TRUE(vtest::Exists(temp + "/today.png"));
    EXPECT_TRUE(vtest::Exists(temp + "/old-folder/inner.txt"));
}

TEST_F(SchedulerTest, ConvertedPagesTheHelpersKeepAreSweptLikeTheTemporaryFolder) {
    const std::string pages = dir / "tmp";
    mkdir(pages.c_str(), 0700);
    Touch(pages + "/old-page-1.png", Noon() - hours(24 * 4));
    Touch(pages + "/recent-page-1.png", Noon() - hours(24 * 3));
    sched.Start(10, false);
    sched.Tick("10");
    EXPECT_FALSE(vtest::Exists(pages + "/old-page-1.png"));
    EXPECT_TRUE(vtest::Exists(pages + "/recent-page-1.png"));
}

TEST_F(SchedulerTest, AnUndeletableFileDoesNotStopTheTick) {
    Touch(temp + "/old.html", Noon() - hours(24 * 5));
    if (geteuid() != 0) {
        chmod(temp.c_str(), 0555);
        sched.Start(10, true);
        sched.Tick("10");
        chmod(temp.c_str(), 0755);
        EXPECT_EQ(check.calls, 1);
        EXPECT_EQ(dispatch.calls, 1);
        EXPECT_TRUE(vtest::Exists(temp + "/old.html"));
    } else {
        // root deletes anything: the tick runs in a child that has given up root, in a
        // folder it may read but not change.
        chmod(dir.path().c_str(), 0755);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
            sched.Start(10, true);
            sched.Tick("10");
            const bool kept = ::access((temp + "/old.html").c_str(), F_OK) == 0;
            _exit(check.calls == 1 && dispatch.calls == 1 && kept ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    // Once it can go, the next tick removes it.
    sched.Tick("10");
    EXPECT_FALSE(vtest::Exists(temp + "/old.html"));
}

TEST_F(SchedulerTest, AFailingDispatcherStillLetsTheCheckRun) {
    struct Throwing : JobDispatch {
        void CheckJobs() override { throw std::runtime_error("store unreadable"); }
    } throwing;
    sched.SetDispatch(&throwing);
    sched.Start(10, true);
    sched.Tick("10");
    EXPECT_EQ(check.calls, 1);
    const std::string log = vtest::ReadFile(dir / "vellora.log");
    EXPECT_NE(log.find("tmrMailCheck_Timer [30] - store unreadable"), std::string::npos);
}

TEST(CalendarDays, CountsMidnightsAcrossMonthAndYearEnds) {
    auto at = [](int y, int m, int d, int h) {
        std::tm tm{};
        tm.tm_year = y - 1900;
        tm.tm_mon = m - 1;
        tm.tm_mday = d;
        tm.tm_hour = h;
        tm.tm_isdst = -1;
        return system_clock::from_time_t(std::mktime(&tm));
    };
    EXPECT_EQ(CalendarDaysBetween(at(2026, 2, 28, 23), at(2026, 3, 1, 1)), 1);
    EXPECT_EQ(CalendarDaysBetween(at(2025, 12, 29, 8), at(2026, 1, 2, 20)), 4);
    EXPECT_EQ(CalendarDaysBetween(at(2026, 5, 5, 0), at(2026, 5, 5, 23)), 0);
    EXPECT_EQ(FormatCountdown(hours(1) + minutes(2) + seconds(3)), "01:02:03");
    EXPECT_EQ(FormatCountdown(-seconds(5)), "00:00:00");
}

}  // namespace

namespace {
TEST_F(SchedulerTest, AMissingTemporaryFolderDoesNotStopTheTick) {
    rmdir(temp.c_str());
    sched.Start(10, true);
    sched.Tick("10");
    EXPECT_EQ(check.calls, 1);
    EXPECT_EQ(dispatch.calls, 1);
}
}  // namespace
