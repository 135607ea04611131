// The dispatcher with real processes: a stand-in helper started by the program's launcher reports
// through the job store, and the job is settled and its document deleted. Then the printer
// switching and restoring against a private CUPS server.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "main/core/Dispatcher.h"
#include "main/core/JobCreation.h"
#include "main/core/MainTexts.h"
#include "main/core/Printers.h"
#include "platform/print/CupsPrintSystem.h"
#include "platform/print/FakePrintSystem.h"
#include "platform/shell/Module1.h"
#include "platform/shell/ProcessLauncher.h"
#include "shared/AppFolder.h"
#include "shared/modJob.h"
#include "tests/dispatch/DispatchFakes.h"
#include "tests/rules/RecordingSink.h"
#include "tests/support/Cups.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

class RealLaunchTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"reallaunch"};
    JobQueues jobs;
    vtest::ManualClock clock;
    vellora::shell::ProcessLauncher launcher;  // the main program's own launcher
    vtest::RecordingSink sink;
    Options options;

    void SetUp() override {
        // The helper finds the same job store through the installation folder it inherits.
        setenv("VELLORA_FOLDER", dir.path().c_str(), 1);
        setenv("LPDEST", "somewhere-else", 1);  // must not reach the helper
        vellora::SetAppFolderForTesting(dir.path());
        modJob::ResetForTesting();
    }
    void TearDown() override {
        Module1::ReapChildren();  // the finished helpers are not left as zombies
        unsetenv("VELLORA_FOLDER");
        unsetenv("LPDEST");
        modJob::ResetForTesting();
        vellora::SetAppFolderForTesting("");
    }
    JobPtr QueueFor(const std::string& id, const std::string& printer) {
        const std::string doc = dir / (id + ".pdf");
        vtest::WriteFile(doc, "%PDF");
        auto job = std::make_shared<clsJob>();
        job->JobID = id;
        job->Subject = "Real " + id;
        job->JobDoc = id + "@\"" + doc + "\"";
        job->CmdLine = std::string(TEST_HELPER_PATH) + " " + job->JobDoc;
        job->Status = modJob::Status().queued;
        job->Printer = printer;
        jobs.AddJob(job, id);
        modJob::WriteJobRecord(modJob::Status().awaiting, id);
        return job;
    }
    // Ticks until the job has left the queue; each tick is 5 s of the clock.
    void RunUntilSettled(Dispatcher& d, const std::string& id) {
        d.CheckJobs();
        ASSERT_TRUE(vtest::WaitFor(
            [&] {
                clock.Advance(5000ms);
                d.CheckJobs();
                return !jobs.queue.Contains(id);
            },
            30s, 50ms));
    }
};

TEST_F(RealLaunchTest, SpawnedHelperReportsAndTheJobIsSettledAndItsDocumentDeleted) {
    vellora::print::FakePrintSystem printers;
    printers.printers = {"Front"};
    Dispatcher d(jobs, clock, launcher, printers, sink, options, [] { return "Front"; });
    QueueFor("123", "Front");
    RunUntilSettled(d, "123");
    EXPECT_TRUE(sink.errors.empty()) << (sink.errors.empty() ? "" : sink.errors[0]);
    ASSERT_EQ(sink.successes.size(), 1u);
    EXPECT_FALSE(fs::exists(dir / "123.pdf"));
    EXPECT_EQ(modJob::ReadJobRecord("123"), "Bad Key");
    EXPECT_TRUE(jobs.errJobs.empty());
}

TEST_F(RealLaunchTest, ProgramThatDoesNotExistFailsAtOnce) {
    vellora::print::FakePrintSystem printers;
    Dispatcher d(jobs, clock, launcher, printers, sink, options, [] { return ""; });
    JobPtr job = QueueFor("124", "");
    job->CmdLine = dir / "no-such-helper" + " " + job->JobDoc;
    d.CheckJobs();
    EXPECT_TRUE(jobs.errJobs.Contains("124"));
    EXPECT_FALSE(jobs.jobBusy);
}

TEST_F(RealLaunchTest, CupsDefaultFollowsTheJobAndIsRestoredAfterIt) {
    vtest::Cups cups;
    cups.AddPrinter("Alpha");
    cups.AddPrinter("Beta");
    cups.AddPrinter("Gamma");
    cups.SetServerDefault("Alpha");
    cups.ApplyToThisProcess();
    vellora::print::CupsPrintSystem printers;
    const PrinterLists lists = FillPrinterLists(printers, dir / "vellora.ini");
    ASSERT_EQ(lists.systemPrinter, "Alpha");
    ASSERT_EQ(lists.printers.size(), 4u);

    const auto defaultSeen = [&] {
        std::string out;
        cups.Tool({"/usr/bin/lpstat", "-d"}, &out);
        for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return out;
    };
    std::string duringJob;
    vtest::RecordingLauncher recorder;
    recorder.onLaunch = [&](const std::string& cmd) {
        duringJob = defaultSeen();
        launcher.Launch(cmd);
    };
    Dispatcher d(jobs, clock, recorder, printers, sink, options,
                 [&] { return lists.systemPrinter; });
    QueueFor("200", "gamma");  // other letter case than the queue's name
    RunUntilSettled(d, "200");
    EXPECT_NE(duringJob.find("gamma"), std::string::npos) << duringJob;
    EXPECT_NE(defaultSeen().find("alpha"), std::string::npos) << defaultSeen();
    EXPECT_EQ(sink.successes.size(), 1u);
}

}  // namespace
