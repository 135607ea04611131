// The failed-jobs window offscreen: its lists, Remove twice, the timer and a retry that
// prints on the second run.
#include <gtest/gtest.h>

#include "main/core/Dispatcher.h"
#include "main/core/FailedJobs.h"
#include "main/core/ScriptedDialogs.h"
#include "main/forms/frmJobErrors.h"
#include "platform/print/FakePrintSystem.h"
#include "shared/AppFolder.h"
#include "shared/modJob.h"
#include "tests/dispatch/DispatchFakes.h"
#include "tests/logicforms/FormsApp.h"
#include "tests/rules/RecordingSink.h"
#include "tests/support/TestSupport.h"

using namespace vellora;
using namespace vellora::forms;

namespace {

class JobErrorsTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"joberrgui"};
    core::JobQueues jobs;
    core::ScriptedDialogs dialogs;
    std::unique_ptr<frmJobErrors> form;

    void SetUp() override {
        vtest::FormsApp();
        SetAppFolderForTesting(dir.path());
        modJob::ResetForTesting();
        form = std::make_unique<frmJobErrors>(jobs, dialogs);
    }
    void TearDown() override {
        form.reset();
        modJob::ResetForTesting();
        SetAppFolderForTesting("");
    }
    JobPtr Fail(const std::string& id, bool att) {
        auto job = std::make_shared<clsJob>();
        job->JobID = id;
        job->Subject = "Figures";
        job->isAtt = att ? -1 : 0;
        job->DocName = att ? "q3.xlsx" : "";
        job->CmdLine = "/x/gridlet " + id;
        job->Status = modJob::Status().dispatched;
        job->ErrDetail = "ERROR -no paper";
        jobs.errJobs.Add(job, id);
        return job;
    }
    void Click(int row) {
        form->lstJobErr->setCurrentRow(row);
        form->lstJobErr_Click();
    }
};

TEST_F(JobErrorsTest, ListsShowBodyAndAttachmentLinesAndEmptyWhenNone) {
    form->show();
    EXPECT_EQ(form->windowTitle(), "Failed Vellora Jobs");
    EXPECT_EQ(form->lstJobErr->count(), 0);
    Fail("1", false);
    Fail("2", true);
    form->RefreshErrJobs();
    ASSERT_EQ(form->lstJobErr->count(), 2);
    EXPECT_EQ(form->lstJobErr->item(0)->text(), "Message body of Figures");
    EXPECT_EQ(form->lstJobErr->item(1)->text(), "Attachment q3.xlsx of message Figures");
    EXPECT_EQ(form->lstJobErrIDs->item(1)->text(), "2");
    Click(1);
    form->cmdVwErrDetails_Click();
    ASSERT_EQ(dialogs.asked().size(), 1u);
    EXPECT_EQ(dialogs.asked()[0].text, "ERROR -no paper");
    EXPECT_EQ(dialogs.asked()[0].title, "Failed Job Detail");
}

TEST_F(JobErrorsTest, RemoveTwiceDropsOneJobAndThenNothing) {
    Fail("1", false);
    Fail("2", true);
    form->show();
    Click(0);
    form->cmdRemove_Click();
    EXPECT_EQ(form->lstJobErr->count(), 1);
    EXPECT_TRUE(form->selJobID.empty());
    form->cmdRemove_Click();
    EXPECT_EQ(jobs.errJobs.size(), 1u);
    Click(0);
    form->cmdRemove_Click();
    EXPECT_EQ(form->lstJobErr->count(), 0);
}

TEST_F(JobErrorsTest, TimerLeavesASelectionAlone) {
    Fail("1", false);
    form->show();
    EXPECT_EQ(form->tmrListErrJobs->interval(), 30000);
    EXPECT_TRUE(form->tmrListErrJobs->isActive());
    Click(0);
    Fail("2", true);
    form->tmrListErrJobs_Timer();
    EXPECT_EQ(form->lstJobErr->count(), 1);
    form->lstJobErr->clearSelection();
    form->tmrListErrJobs_Timer();
    EXPECT_EQ(form->lstJobErr->count(), 2);
}

TEST_F(JobErrorsTest, RetryThenASuccessfulSecondRun) {
    JobPtr job = Fail("7", true);
    vtest::ManualClock clock;
    vtest::RecordingLauncher launcher;
    print::FakePrintSystem printers;
    vtest::RecordingSink sink;
    core::Options options;
    core::Dispatcher d(jobs, clock, launcher, printers, sink, options, [] { return ""; });
    form->show();
    Click(0);
    form->cmdRetry_Click();
    EXPECT_EQ(form->lstJobErr->count(), 0);
    EXPECT_TRUE(jobs.queue.Contains("7"));
    d.CheckJobs();
    ASSERT_EQ(launcher.launched.size(), 1u);
    modJob::WriteJobRecord(modJob::Status().done, "7");
    d.CheckJobs();
    EXPECT_TRUE(jobs.queue.empty());
    EXPECT_EQ(sink.successes.size(), 1u);

    Fail("8", false);
    auto queued = std::make_shared<clsJob>();
    jobs.AddJob(queued, "8");
    form->RefreshErrJobs();
    Click(0);
    form->cmdRetry_Click();  // the queue holds that id: a message, and the job stays listed
    EXPECT_EQ(dialogs.asked().back().text, core::RetryRefusedMessage());
    EXPECT_EQ(form->lstJobErr->count(), 1);
}

}  // namespace
