#include <gtest/gtest.h>

#include <set>

#include "shared/AppFolder.h"
#include "shared/Profile.h"
#include "shared/basINI_IO.h"
#include "shared/clsJob.h"
#include "shared/modJob.h"
#include "shared/modWriteLog.h"
#include "tests/support/TestSupport.h"

namespace {

class JobStore : public ::testing::Test {
  protected:
    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        modJob::ResetForTesting();
    }
    void TearDown() override {
        vellora::SetAppFolderForTesting("");
        modJob::ResetForTesting();
    }
    vtest::TempDir dir;
};

TEST_F(JobStore, StatusTextsMeetTheProtocolsConstraints) {
    const auto& s = modJob::Status();
    EXPECT_EQ(s.awaiting.size(), 7u);
    EXPECT_EQ(s.active.size(), 10u);
    EXPECT_EQ(s.done.size(), 8u);
    EXPECT_EQ(s.failed.size(), 5u);
    const std::vector<std::string> all = {s.queued, s.dispatched, s.awaiting,
                                          s.active, s.done,       s.failed};
    EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), 6u);
    // Stored values as they are written: active and failed carry a suffix.
    const std::vector<std::string> stored = {s.awaiting, s.active + "1234", s.done, s.failed + "x"};
    const std::vector<std::string> store = {s.awaiting, s.active, s.done, s.failed};
    for (std::size_t i = 0; i < stored.size(); ++i)
        for (std::size_t j = 0; j < store.size(); ++j)
            EXPECT_EQ(modJob::HasStatus(stored[i], store[j]), i == j)
                << stored[i] << " / " << store[j];
    for (const auto& t : all) EXPECT_FALSE(modJob::HasStatus(basINI_IO::MissingValue(), t)) << t;
    // The key prefix plus a seven-digit id is a valid key.
    modJob::WriteJobRecord(s.awaiting, "9999999");
    EXPECT_EQ(modJob::ReadJobRecord("9999999"), s.awaiting);
}

TEST_F(JobStore, RecordLifecycle) {
    const auto& s = modJob::Status();
    EXPECT_EQ(modJob::ReadJobRecord("42"), "Bad Key");
    modJob::WriteJobRecord(s.active + "1234", "42");
    const std::string v = modJob::ReadJobRecord("42");
    EXPECT_TRUE(modJob::HasStatus(v, s.active));
    EXPECT_FALSE(modJob::HasStatus("note: " + s.done, s.done));  // only at the start counts
    modJob::WriteJobRecord(s.failed, "42");
    EXPECT_EQ(modJob::FailureDetail(modJob::ReadJobRecord("42")), "");
    modJob::WriteJobRecord(s.failed + "paper jam\nsecond line", "42");
    EXPECT_EQ(modJob::FailureDetail(modJob::ReadJobRecord("42")), "paper jam second line");
    modJob::DeleteJobRecord("42");
    modJob::DeleteJobRecord("42");
    EXPECT_EQ(modJob::ReadJobRecord("42"), "Bad Key");
    EXPECT_EQ(modJob::StorePath(), dir / "vellora.ini");
}

TEST_F(JobStore, TwoInstallationFoldersDoNotShareJobs) {
    modJob::WriteJobRecord(modJob::Status().done, "7");
    vtest::TempDir other;
    vellora::SetAppFolderForTesting(other.path());
    modJob::ResetForTesting();
    EXPECT_EQ(modJob::ReadJobRecord("7"), "Bad Key");
}

TEST_F(JobStore, NewJobIdsAreDecimalWithoutLeadingZerosAndVary) {
    std::set<std::string> ids;
    for (int i = 0; i < 200; ++i) {
        const std::string id = modJob::NewJobID();
        ASSERT_FALSE(id.empty());
        EXPECT_TRUE(id == "0" || id.front() != '0') << id;
        EXPECT_EQ(id.find_first_not_of("0123456789"), std::string::npos) << id;
        EXPECT_LE(std::stoll(id), 9999999);
        ids.insert(id);
    }
    // Draws continue one sequence while the time of day is unchanged: no run of repeats.
    EXPECT_GT(ids.size(), 190u);
}

TEST_F(JobStore, NewRecordIsEmpty) {
    clsJob j;
    EXPECT_TRUE(j.JobID.empty() && j.CmdLine.empty() && j.Status.empty());
    EXPECT_EQ(j.isAtt, 0);
    EXPECT_EQ(j.ProcID, 0);
    EXPECT_EQ(j.stTime.time_since_epoch().count(), 0);
}

TEST_F(JobStore, SevenProcessesShareOneStore) {
    const std::string file = modJob::StorePath();
    basINI_IO::WriteSettingText("constant", file, "General", "Stable");
    const int workers = 7, rounds = 1500;
    std::vector<vtest::Process> procs;
    vtest::Process::Options o;
    o.env["VELLORA_FOLDER"] = dir.path();
    o.stderrFile = dir / "stress.err";
    for (int w = 0; w < workers; ++w)
        procs.emplace_back(
            std::vector<std::string>{vtest::TestBinDir() + "/store_stress", std::to_string(w),
                                     std::to_string(workers), std::to_string(rounds)},
            o);
    for (auto& p : procs) EXPECT_EQ(p.wait(std::chrono::minutes(4)), 0);
    EXPECT_EQ(vtest::ReadFile(dir / "stress.err"), "");
    // Nothing lost: every worker's final values are there, and the file still parses.
    for (int w = 0; w < workers; ++w)
        for (int slot = 0; slot < 3; ++slot) {
            const std::string v =
                modJob::ReadJobRecord(std::to_string(w) + "00" + std::to_string(slot));
            EXPECT_NE(v.find("w" + std::to_string(w) + "r" + std::to_string(1000 + slot) + "#"),
                      std::string::npos)
                << v;
        }
    EXPECT_EQ(basINI_IO::ReadSettingText(file, "General", "Stable"), "constant");
    EXPECT_FALSE(vtest::Exists(file + ".tmp"));
}

TEST_F(JobStore, LogEntriesAppendWithTimestampAndEmptyLine) {
    modWriteLog::WriteLog("first");
    modWriteLog::WriteLog("");
    modWriteLog::WriteLog("multi\nline");
    const std::string log = vtest::ReadFile(modWriteLog::LogFilePath());
    // "YYYY-MM-DD HH:MM:SS text\n\n" per entry.
    const std::vector<std::string> expectTexts = {"first", "", "multi\nline"};
    std::size_t pos = 0;
    for (const auto& t : expectTexts) {
        ASSERT_LT(pos + 20, log.size());
        EXPECT_EQ(log[pos + 4], '-');
        EXPECT_EQ(log[pos + 19], ' ');
        EXPECT_EQ(log.substr(pos + 20, t.size() + 2), t + "\n\n");
        pos += 20 + t.size() + 2;
    }
    EXPECT_EQ(pos, log.size());
}

TEST_F(JobStore, UnwritableLogReachesTheCaller) {
    vellora::SetAppFolderForTesting(dir / "no-such-folder");
    EXPECT_THROW(modWriteLog::WriteLog("x"), modWriteLog::LogError);
}

}  // namespace
