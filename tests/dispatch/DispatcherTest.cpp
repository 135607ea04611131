// The dispatcher over every row of its time-out table and its settle paths, with a clock
// and a launcher of the test's own and the real job store in a private folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "main/core/Dispatcher.h"
#include "main/core/MainTexts.h"
#include "platform/print/FakePrintSystem.h"
#include "shared/AppFolder.h"
#include "shared/modJob.h"
#include "tests/dispatch/DispatchFakes.h"
#include "tests/rules/RecordingSink.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;
using namespace std::chrono_literals;
namespace mt = vellora::core::texts;
namespace fs = std::filesystem;

namespace {

class DispatcherTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"dispatch"};
    JobQueues jobs;
    vtest::ManualClock clock;
    vtest::RecordingLauncher launcher;
    vellora::print::FakePrintSystem printers;
    vtest::RecordingSink sink;
    Options options;
    std::string sysCaption = "Front";
    Dispatcher dispatcher{
        jobs, clock, launcher, printers, sink, options, [this] { return sysCaption; }};

    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        modJob::ResetForTesting();
        printers.printers = {"Front", "Back", "Colour"};
        printers.defaultPrinter = "Front";
    }
    void TearDown() override {
        modJob::ResetForTesting();
        vellora::SetAppFolderForTesting("");
    }
    const modJob::StatusTexts& St() { return modJob::Status(); }

    // A job as job creation leaves it: queued, its document on disk, awaiting in the store.
    JobPtr Queue(const std::string& id, const std::string& printer = "Back", bool att = false) {
        const std::string doc = dir / (id + ".pdf");
        vtest::WriteFile(doc, "document " + id);
        auto job = std::make_shared<clsJob>();
        job->JobID = id;
        job->Subject = "Subject " + id;
        job->isAtt = att ? -1 : 0;
        job->DocName = att ? "file" + id + ".pdf" : "";
        job->CmdLine = "/opt/vellora/docuvan " + id + "@\"" + doc + "\"";
        job->Status = St().queued;
        job->Printer = printer;
        job->JobDoc = id + "@\"" + doc + "\"";
        jobs.AddJob(job, id);
        modJob::WriteJobRecord(St().awaiting, id);
        return job;
    }
    void Helper(const std::string& id, const std::string& value) {
        modJob::WriteJobRecord(value, id);
    }
    void Tick(std::chrono::milliseconds after = 5000ms) {
        clock.Advance(after);
        dispatcher.CheckJobs();
    }
    // Ticks every 5 s until the given time since launch (the launch tick is at 0).
    void TickUntil(TimePoint launch, std::chrono::seconds since) {
        while (clock.now + 5s <= launch + since) Tick();
        if (clock.now < launch + since)
            Tick(std::chrono::duration_cast<std::chrono::milliseconds>(launch + since - clock.now));
    }
};

TEST_F(DispatcherTest, TwoJobsOfOneCheckRunOneAfterTheOther) {
    JobPtr a = Queue("11"), b = Queue("22");
    Tick();
    ASSERT_EQ(launcher.launched, std::vector<std::string>{a->CmdLine});
    EXPECT_TRUE(jobs.jobBusy);
    EXPECT_EQ(a->Status, St().dispatched);
    EXPECT_EQ(a->stTime, clock.now);
    EXPECT_EQ(b->Status, St().queued);
    Helper("11", St().done);
    Tick();  // settles the first; never launches in the same tick
    EXPECT_EQ(launcher.launched.size(), 1u);
    EXPECT_FALSE(jobs.jobBusy);
    EXPECT_FALSE(jobs.queue.Contains("11"));
    Tick();
    ASSERT_EQ(launcher.launched.size(), 2u);
    EXPECT_EQ(launcher.launched[1], b->CmdLine);
}

TEST_F(DispatcherTest, SuccessDeletesTheDocumentRestoresThePrinterAndLogsOnce) {
    options.notifyOnSuccess = true;
    JobPtr a = Queue("31", "colour");
    launcher.onLaunch = [&](const std::string&) { Helper("31", St().active + "4242"); };
    Tick();
    EXPECT_EQ(printers.defaultPrinter, "colour");  // switched before the launch
    Helper("31", St().done);
    Tick();
    EXPECT_EQ(printers.switches, (std::vector<std::string>{"colour", "Front"}));
    EXPECT_EQ(printers.defaultPrinter, "Front");
    EXPECT_EQ(sink.successes, std::vector<std::string>{mt::kJobSuccessPrefix.str() + "Subject 31"});
    EXPECT_TRUE(sink.errors.empty());
    ASSERT_EQ(sink.notifications.size(), 1u);
    EXPECT_EQ(sink.notifications[0].kind, mt::kNotifyKindSuccess.str());
    EXPECT_EQ(sink.notifications[0].body, "Subject 31" + mt::kJobSuccessSentence.str());
    EXPECT_FALSE(fs::exists(dir / "31.pdf"));
    EXPECT_EQ(modJob::ReadJobRecord("31"), "Bad Key");
    EXPECT_TRUE(jobs.queue.empty());
    EXPECT_TRUE(jobs.errJobs.empty());
    Tick();
    EXPECT_EQ(sink.successes.size(), 1u);
}

TEST_F(DispatcherTest, APrintedBodyPageTakesItsInlinePicturesWithIt) {
    const std::string page = dir / "a1_7.html";
    vtest::WriteFile(page, "<img src=\"a1_7_cid1_logo.png\">");
    for (const char* name : {"a1_7_cid1_logo.png", "a1_7_cid2_chart.gif", "a1_70_cid1_other.png",
                             "a1_7.pdf", "a2_7_cid1_logo.png"})
        vtest::WriteFile(dir / name, "x");
    auto job = std::make_shared<clsJob>();
    job->JobID = "41";
    job->Subject = "With pictures";
    job->CmdLine = "/opt/vellora/webbin 41@\"" + page + "\"";
    job->Status = St().queued;
    job->JobDoc = "41@\"" + page + "\"";
    jobs.AddJob(job, "41");
    modJob::WriteJobRecord(St().awaiting, "41");
    Tick();
    Helper("41", St().done);
    Tick();
    EXPECT_FALSE(fs::exists(page));
    EXPECT_FALSE(fs::exists(dir / "a1_7_cid1_logo.png"));
    EXPECT_FALSE(fs::exists(dir / "a1_7_cid2_chart.gif"));
    // Other pages' pictures and other files stay.
    EXPECT_TRUE(fs::exists(dir / "a1_70_cid1_other.png"));
    EXPECT_TRUE(fs::exists(dir / "a2_7_cid1_logo.png"));
    EXPECT_TRUE(fs::exists(dir / "a1_7.pdf"));
}

TEST_F(DispatcherTest, HelperThatNeverStartsFailsAfter180Seconds) {
    options.notifyOnError = true;
    JobPtr a = Queue("41", "Back", true);
    Tick();
    const TimePoint launch = clock.now;
    TickUntil(launch, 180s);
    EXPECT_TRUE(jobs.queue.Contains("41"));
    EXPECT_TRUE(sink.errors.empty());
    Tick(1s);  // 181 s after the launch
    EXPECT_FALSE(jobs.queue.Contains("41"));
    EXPECT_FALSE(jobs.jobBusy);
    ASSERT_EQ(jobs.errJobs.Find("41"), a);
    EXPECT_EQ(a->ErrDetail, mt::kJobAwaitingTimeout.str());
    EXPECT_EQ(a->Status, St().dispatched);
    EXPECT_EQ(sink.errors, std::vector<std::string>{mt::kJobFailurePrefix.str() + "Subject 41 - " +
                                                    mt::kJobAwaitingTimeout.str()});
    ASSERT_EQ(sink.notifications.size(), 1u);
    EXPECT_EQ(sink.notifications[0].kind, mt::kNotifyKindError.str());
    EXPECT_EQ(sink.notifications[0].body,
              "Subject 41" + mt::kJobFailureSeparator.str() + mt::kJobAwaitingTimeout.str());
    EXPECT_TRUE(fs::exists(dir / "41.pdf"));  // kept for a retry
    EXPECT_EQ(modJob::ReadJobRecord("41"), "Bad Key");
    EXPECT_EQ(printers.switches.back(), "Front");
}

TEST_F(DispatcherTest, HelperThatHangsFailsAfter600SecondsFromTheLaunch) {
    JobPtr a = Queue("51");
    Tick();
    const TimePoint launch = clock.now;
    TickUntil(launch, 170s);
    Helper("51", St().active + "777");  // reports late: the limit still counts from the launch
    TickUntil(launch, 600s);
    EXPECT_TRUE(jobs.queue.Contains("51"));
    Tick(1s);
    ASSERT_TRUE(jobs.errJobs.Contains("51"));
    EXPECT_EQ(a->ErrDetail, mt::kJobActiveTimeout.str());
    EXPECT_EQ(sink.errors.size(), 1u);
}

TEST_F(DispatcherTest, TimeOutsCountWholeSecondBoundaries) {
    const TimePoint t0 = clock.now + 900ms;
    EXPECT_EQ(SecondBoundaries(t0, t0 + 100ms), 1);
    EXPECT_EQ(SecondBoundaries(t0, t0 + 1050ms), 1);
    EXPECT_EQ(SecondBoundaries(t0 - 800ms, t0), 0);
    JobPtr a = Queue("52");
    Tick(900ms);                               // launched at .900
    Tick(std::chrono::milliseconds(179'200));  // 179.2 s later, yet 180 boundaries: in time
    EXPECT_TRUE(jobs.queue.Contains("52"));
    Tick(1000ms);  // 181 boundaries
    EXPECT_TRUE(jobs.errJobs.Contains("52"));
}

TEST_F(DispatcherTest, ReportedFailureKeepsTheHelpersText) {
    JobPtr a = Queue("61"), b = Queue("62");
    Tick();
    Helper("61", St().failed);  // the failure text alone
    Tick();
    EXPECT_EQ(a->ErrDetail, St().failed + " -");
    Tick();
    Helper("62", St().failed + "paper jam");
    Tick();
    EXPECT_EQ(b->ErrDetail, St().failed + " -paper jam");
    EXPECT_EQ(sink.errors.back(),
              mt::kJobFailurePrefix.str() + "Subject 62 - " + St().failed + " -paper jam");
    EXPECT_EQ(jobs.errJobs.size(), 2u);
    EXPECT_TRUE(fs::exists(dir / "62.pdf"));
}

TEST_F(DispatcherTest, VanishedStoreKeyIsReportedOnceHoldsTheQueueAndFailsAtTheActiveLimit) {
    options.notifyOnError = true;
    JobPtr a = Queue("71"), b = Queue("72");
    Tick();
    const TimePoint launch = clock.now;
    modJob::DeleteJobRecord("71");
    for (int i = 0; i < 10; ++i) Tick();
    EXPECT_EQ(sink.errors, std::vector<std::string>{mt::kJobFailurePrefix.str() + "Subject 71 - " +
                                                    mt::kJobUnrecognised.str()});
    EXPECT_EQ(sink.notifications.size(), 1u);
    EXPECT_EQ(launcher.launched.size(), 1u);  // the queue stands still
    EXPECT_TRUE(jobs.jobBusy);
    TickUntil(launch, 600s);
    EXPECT_TRUE(jobs.queue.Contains("71"));
    Tick(1s);
    ASSERT_TRUE(jobs.errJobs.Contains("71"));
    EXPECT_EQ(a->ErrDetail, mt::kJobUnrecognised.str());
    EXPECT_EQ(sink.errors.size(), 2u);
    Tick();
    EXPECT_EQ(launcher.launched.back(), b->CmdLine);
}

TEST_F(DispatcherTest, RestoreTargetIsTheCaptionAtSettlement) {
    Queue("81", "Colour");
    Tick();
    sysCaption = "Colour";  // a tab change refilled the lists while the job was switched
    Helper("81", St().done);
    Tick();
    EXPECT_EQ(printers.switches, (std::vector<std::string>{"Colour", "Colour"}));
}

TEST_F(DispatcherTest, HelperThatCannotStartFailsAtOnceAndTheNextJobFollows) {
    launcher.succeed = false;
    JobPtr a = Queue("91"), b = Queue("92");
    Tick();
    EXPECT_FALSE(jobs.jobBusy);
    ASSERT_TRUE(jobs.errJobs.Contains("91"));
    EXPECT_EQ(a->ErrDetail, mt::kJobLaunchFailed.str() + a->CmdLine);
    EXPECT_EQ(modJob::ReadJobRecord("91"), "Bad Key");
    EXPECT_EQ(printers.switches, (std::vector<std::string>{"Back", "Front"}));
    EXPECT_EQ(sink.errors.size(), 1u);
    launcher.succeed = true;
    Tick();
    EXPECT_EQ(launcher.launched.back(), b->CmdLine);
}

TEST_F(DispatcherTest, UnknownPrinterAndUndeletableDocumentAreLoggedAndTheJobGoesOn) {
    Queue("95", "Nowhere");
    Queue("96", "");
    Tick();
    EXPECT_EQ(printers.defaultPrinter, "Front");  // unchanged: prints on the current default
    fs::remove(dir / "95.pdf");                   // the document is already gone
    Helper("95", St().done);
    Tick();
    EXPECT_EQ(sink.successes.size(), 1u);
    const std::string log = vtest::ReadFile(dir / "vellora.log");
    EXPECT_NE(log.find(mt::kLogSwitchFailed.str() + "Nowhere"), std::string::npos);
    EXPECT_NE(log.find(mt::kLogDeleteFailed.str()), std::string::npos);
    Tick();
    EXPECT_EQ(printers.switches, (std::vector<std::string>{"Nowhere", "Front"}));  // "" not tried
}

TEST_F(DispatcherTest, IdleWithNothingQueuedDoesNothing) {
    Tick();
    EXPECT_TRUE(launcher.launched.empty());
    EXPECT_TRUE(printers.switches.empty());
    EXPECT_EQ(JobDocumentPath("5@\"/t/a@b.pdf\""), "/t/a@b.pdf");  // after the first "@"
}

}  // namespace
