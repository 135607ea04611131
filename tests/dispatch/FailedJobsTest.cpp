// The failed-jobs window's logic: its lines, View, Remove, Retry and a second run.
#include <gtest/gtest.h>

#include "main/core/Dispatcher.h"
#include "main/core/FailedJobs.h"
#include "platform/print/FakePrintSystem.h"
#include "shared/AppFolder.h"
#include "shared/modJob.h"
#include "tests/dispatch/DispatchFakes.h"
#include "tests/rules/RecordingSink.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;

namespace {

class FailedJobsTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"failedjobs"};
    JobQueues jobs;
    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        modJob::ResetForTesting();
    }
    void TearDown() override {
        modJob::ResetForTesting();
        vellora::SetAppFolderForTesting("");
    }
    JobPtr Failed(const std::string& id, bool att, const std::string& doc = "") {
        auto job = std::make_shared<clsJob>();
        job->JobID = id;
        job->Subject = "Quarterly figures";
        job->isAtt = att ? -1 : 0;
        job->DocName = doc;
        job->Status = modJob::Status().dispatched;
        job->ErrDetail = "detail " + id;
        job->CmdLine = "/x/docuvan " + id;
        jobs.errJobs.Add(job, id);
        return job;
    }
};

TEST_F(FailedJobsTest, LinesDescribeBodyAndAttachmentJobsInOrder) {
    EXPECT_TRUE(FailedJobLines(jobs.errJobs).empty());
    Failed("1", false);
    Failed("2", true, "sheet.xlsx");
    const auto lines = FailedJobLines(jobs.errJobs);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "Message body of Quarterly figures");
    EXPECT_EQ(lines[0].id, "1");
    EXPECT_EQ(lines[1].text, "Attachment sheet.xlsx of message Quarterly figures");
    EXPECT_EQ(lines[1].id, "2");
    EXPECT_EQ(FailedJobDetail(jobs.errJobs, "2"), "detail 2");
    EXPECT_EQ(FailedJobDetail(jobs.errJobs, ""), std::nullopt);
}

TEST_F(FailedJobsTest, RemoveDropsTheJobAndASecondRemoveDoesNothing) {
    Failed("1", false);
    EXPECT_FALSE(RemoveFailedJob(jobs.errJobs, ""));
    EXPECT_TRUE(RemoveFailedJob(jobs.errJobs, "1"));
    EXPECT_FALSE(RemoveFailedJob(jobs.errJobs, "1"));
    EXPECT_TRUE(FailedJobLines(jobs.errJobs).empty());
}

TEST_F(FailedJobsTest, RetryQueuesAFreshJobAndItPrintsOnTheSecondRun) {
    JobPtr job = Failed("5", true, "a.pdf");
    vtest::ManualClock clock;
    vtest::RecordingLauncher launcher;
    vellora::print::FakePrintSystem printers;
    vtest::RecordingSink sink;
    Options options;
    Dispatcher dispatcher(jobs, clock, launcher, printers, sink, options, [] { return ""; });

    ASSERT_EQ(RetryFailedJob(jobs, "5"), RetryOutcome::Retried);
    EXPECT_TRUE(jobs.errJobs.empty());
    EXPECT_EQ(jobs.queue.Find("5"), job);
    EXPECT_EQ(job->Status, modJob::Status().queued);
    EXPECT_EQ(modJob::ReadJobRecord("5"), modJob::Status().awaiting);

    clock.Advance(std::chrono::seconds(5));
    dispatcher.CheckJobs();
    ASSERT_EQ(launcher.launched, std::vector<std::string>{job->CmdLine});
    modJob::WriteJobRecord(modJob::Status().done, "5");
    clock.Advance(std::chrono::seconds(5));
    dispatcher.CheckJobs();
    EXPECT_TRUE(jobs.queue.empty());
    EXPECT_EQ(sink.successes.size(), 1u);
}

TEST_F(FailedJobsTest, RetryOfAnIdTheQueueHoldsIsRefusedAndKeepsTheFailedJob) {
    Failed("6", false);
    auto other = std::make_shared<clsJob>();
    other->JobID = "6";
    jobs.AddJob(other, "6");
    EXPECT_EQ(RetryFailedJob(jobs, "6"), RetryOutcome::AlreadyQueued);
    EXPECT_TRUE(jobs.errJobs.Contains("6"));
    EXPECT_EQ(jobs.queue.Find("6"), other);
    EXPECT_FALSE(RetryRefusedMessage().empty());
    EXPECT_EQ(RetryFailedJob(jobs, ""), RetryOutcome::NoSelection);
}

TEST(JobCollectionTest, KeyedInsertionOrderAndDuplicatesRefused) {
    JobCollection c;
    auto a = std::make_shared<clsJob>(), b = std::make_shared<clsJob>();
    c.Add(a, "9");
    c.Add(b, "1");
    EXPECT_THROW(c.Add(b, "9"), DuplicateJob);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c.Items()[0], a);
    EXPECT_EQ(c.Items()[1], b);
    EXPECT_TRUE(c.Remove("9"));
    EXPECT_EQ(c.Find("9"), nullptr);
    EXPECT_EQ(c.Items()[0], b);
}

}  // namespace
