// The three status logs: line form, newest first, the box limits, and the status file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "main/core/ScriptedDialogs.h"
#include "main/core/StatusLogs.h"
#include "main/core/TimeText.h"
#include "shared/AppFolder.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;
using namespace std::chrono;

namespace {

class StatusLogsTest : public ::testing::Test {
  protected:
    void SetUp() override { vellora::SetAppFolderForTesting(dir.path()); }
    void TearDown() override { vellora::SetAppFolderForTesting(""); }
    vtest::TempDir dir{"window-logs"};
    FakeClock clock{system_clock::from_time_t(1773144000)};  // a fixed moment
    Options options;
    StatusLogs logs{clock, options, dir.path()};
};

TEST_F(StatusLogsTest, LinesCarryAStampAndTheNewestComesFirst) {
    std::vector<std::pair<StatusBox, std::string>> shown;
    logs.SetBoxChanged([&](StatusBox b, const std::string& t) { shown.emplace_back(b, t); });
    logs.LogMailStatus("first");
    clock.Advance(seconds(1));
    logs.LogMailStatus("second");
    const std::string stamp0 = FormatLocal(clock.Now() - seconds(1), "%Y-%m-%d %H:%M:%S");
    const std::string stamp1 = FormatLocal(clock.Now(), "%Y-%m-%d %H:%M:%S");
    EXPECT_EQ(logs.Text(StatusBox::Mail), stamp1 + ": second\r\n" + stamp0 + ": first\r\n");
    EXPECT_EQ(logs.Text(StatusBox::Error), "");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].second, logs.Text(StatusBox::Mail));
    logs.LogErrorStatus("bad");
    logs.LogSucStatus("good");
    EXPECT_NE(logs.Text(StatusBox::Error).find(": bad\r\n"), std::string::npos);
    EXPECT_NE(logs.Text(StatusBox::Success).find(": good\r\n"), std::string::npos);
}

TEST_F(StatusLogsTest, EachBoxIsTrimmedToItsOwnLengthKeepingTheNewest) {
    for (StatusBox box : {StatusBox::Mail, StatusBox::Error, StatusBox::Success}) {
        const BoxLimit limit = LimitOf(box);
        auto log = [&](const std::string& text) {
            if (box == StatusBox::Mail) logs.LogMailStatus(text);
            if (box == StatusBox::Error) logs.LogErrorStatus(text);
            if (box == StatusBox::Success) logs.LogSucStatus(text);
        };
        int n = 0;
        std::size_t longest = 0;
        std::string previous;
        while (true) {  // until a line makes the box cut its oldest text
            const std::string line = "line " + std::to_string(n++) + std::string(90, '.');
            previous = logs.Text(box);
            log(line);
            if (logs.Text(box).size() != previous.size() + 19 + 2 + line.size() + 2) break;
            longest = std::max(longest, logs.Text(box).size());
            ASSERT_LT(n, 1000);
        }
        EXPECT_LE(longest, limit.trimWhenLonger);
        EXPECT_GT(longest + 120, limit.trimWhenLonger);  // it grew right up to the limit
        const std::string& now = logs.Text(box);
        EXPECT_EQ(now.size(), limit.trimTo) << static_cast<int>(box);
        EXPECT_NE(now.find("line " + std::to_string(n - 1)), std::string::npos);
        EXPECT_LT(now.find("line " + std::to_string(n - 1)),
                  now.find("line " + std::to_string(n - 2)));
        // The cut takes the oldest text at the bottom, wherever the length falls.
        EXPECT_EQ(now.substr(now.find("\r\n") + 2),
                  previous.substr(0, now.size() - now.find("\r\n") - 2));
        // A further line keeps it trimmed.
        logs.LogMailStatus("x");
        logs.LogErrorStatus("x");
        logs.LogSucStatus("x");
        EXPECT_LE(logs.Text(box).size(), limit.trimWhenLonger);
    }
    EXPECT_EQ(LimitOf(StatusBox::Mail).trimWhenLonger, 31998u);
    EXPECT_EQ(LimitOf(StatusBox::Mail).trimTo, 31997u);
    EXPECT_EQ(LimitOf(StatusBox::Error).trimWhenLonger, 32000u);
    EXPECT_EQ(LimitOf(StatusBox::Error).trimTo, 31995u);
    EXPECT_EQ(LimitOf(StatusBox::Success).trimWhenLonger, 31999u);
    EXPECT_EQ(LimitOf(StatusBox::Success).trimTo, 31992u);
}

TEST_F(StatusLogsTest, TrimmingNeverLeavesHalfACharacter) {
    const std::string wide = "\xC3\xA9";  // two bytes
    std::string text;
    for (int i = 0; i < 400; ++i) text += wide;
    for (int i = 0; i < 100; ++i) logs.LogMailStatus(text);
    const std::string& box = logs.Text(StatusBox::Mail);
    ASSERT_LE(box.size(), 31997u);
    ASSERT_GE(box.size(), 31996u);
    EXPECT_NE(static_cast<unsigned char>(box.back()) & 0xC0, 0xC0);  // no dangling lead byte
}

TEST_F(StatusLogsTest, WithFileLoggingAllThreeBoxesShareOneFileInOrder) {
    logs.LogMailStatus("not in the file");
    options.logStatus = true;
    logs.LogMailStatus("mail line");
    logs.LogErrorStatus("error line");
    logs.LogSucStatus("success line");
    const std::string path = logs.StatusFilePath();
    EXPECT_EQ(path.rfind(dir.path() + "/", 0), 0u);
    const std::string stamp = FormatLocal(clock.Now(), "[%Y-%m-%d %H:%M:%S] ");
    EXPECT_EQ(vtest::ReadFile(path),
              stamp + "mail line\n" + stamp + "error line\n" + stamp + "success line\n");
}

TEST_F(StatusLogsTest, AnUnwritableStatusFileRaisesAfterTheBoxHasItsLine) {
    options.logStatus = true;
    // A folder where the status file should be: it cannot be opened for appending.
    mkdir(logs.StatusFilePath().c_str(), 0755);
    EXPECT_THROW(logs.LogErrorStatus("kept"), StatusFileError);
    EXPECT_NE(logs.Text(StatusBox::Error).find("kept"), std::string::npos);
}

}  // namespace
