// The helper frame: command-line parsing, the records of a run, the error trap and waits.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "helpers/frame/HelperFrame.h"
#include "shared/AppFolder.h"
#include "shared/basINI_IO.h"
#include "shared/modJob.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora::helper;
using namespace std::chrono_literals;

TEST(CommandLine, ThreeParsings) {
    const std::string pictor = R"(4711@"/in st/a b.jpg" jpg)";
    auto l = Parse(pictor, ParseStyle::kPictor);
    EXPECT_EQ(l.jobId, "4711");
    EXPECT_EQ(l.path, "/in st/a b.jpg");
    EXPECT_EQ(l.typeToken, "jpg");

    l = Parse(R"(12@"/x/y z.pdf")", ParseStyle::kStripQuotes);
    EXPECT_EQ(l.jobId, "12");
    EXPECT_EQ(l.path, "/x/y z.pdf");
    EXPECT_EQ(l.typeToken, "");

    l = Parse(R"(12@"/x/y z.doc")", ParseStyle::kKeepQuotes);
    EXPECT_EQ(l.path, R"("/x/y z.doc")");

    // A path holding "@" is cut there; the rest is lost.
    l = Parse(R"(5@"/m/a@b.pdf")", ParseStyle::kStripQuotes);
    EXPECT_EQ(l.path, "/m/a");
}

TEST(CommandLine, MissingPiecesFailButTheJobIdIsAlwaysKnown) {
    const std::string noAt = R"(no separator "/x.pdf")";
    EXPECT_THROW(Parse(noAt, ParseStyle::kStripQuotes), CommandLineError);
    EXPECT_EQ(JobIdOf(noAt, ParseStyle::kStripQuotes), noAt);
    EXPECT_THROW(Parse(R"(7@"/x.png")", ParseStyle::kPictor), CommandLineError);
    EXPECT_EQ(JobIdOf(R"(7@"/x.png" png)", ParseStyle::kPictor), "7");
    EXPECT_EQ(JobIdOf("plain", ParseStyle::kPictor), "plain");
}

TEST(CommandLine, ArgumentPiecesAreJoinedByBlanks) {
    char a0[] = "pictor", a1[] = "3@\"/p/my", a2[] = "pic.jpg\"", a3[] = "jpg";
    char* argv[] = {a0, a1, a2, a3};
    EXPECT_EQ(ArgumentText(4, argv), "3@\"/p/my pic.jpg\" jpg");
    EXPECT_EQ(ArgumentText(1, argv), "");
}

// Remembers every write in order.
struct RecordingSink : Sink {
    std::vector<std::string> events;  // "log:<text>" or "rec:<id>=<value>"
    bool logFails = false;
    void Log(const std::string& text) override {
        if (logFails) throw std::runtime_error("log not writable");
        events.push_back("log:" + text);
    }
    void Record(const std::string& id, const std::string& value) override {
        events.push_back("rec:" + id + "=" + value);
    }
};

class FrameRun : public ::testing::Test {
  protected:
    FrameRun() {
        setup.style = ParseStyle::kPictor;
        setup.errorText = modJob::Status().failed + ": picture: ";
        setup.stepSeparator = " - ";
        setup.activeStep = 20;
    }
    std::string Active() const { return modJob::Status().active + std::to_string(::getpid()); }
    HelperSetup setup;
    RecordingSink sink;
    ManualClock clock;
};

TEST_F(FrameRun, SuccessWritesActiveWithPidThenDone) {
    int calls = 0;
    const int code = RunHelperOn(R"(99@"/a.jpg" jpg)", setup,
                                 [&](HelperRun& run) {
                                     ++calls;
                                     EXPECT_EQ(run.Line().path, "/a.jpg");
                                     return Outcome::kPrinted;
                                 },
                                 sink, clock);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[0], "rec:99=" + Active());
    EXPECT_EQ(sink.events[1], "rec:99=" + modJob::Status().done);
    // The pid follows the active text with no separator and reads back as that status.
    const std::string value = sink.events[0].substr(7);
    EXPECT_TRUE(modJob::HasStatus(value, modJob::Status().active));
    EXPECT_EQ(value.substr(modJob::Status().active.size()), std::to_string(::getpid()));
}

TEST_F(FrameRun, TrapLogsFirstWithStepThenRecordsWithoutIt) {
    const int code = RunHelperOn(R"(5@"/a.jpg" jpg)", setup,
                                 [](HelperRun& run) -> Outcome {
                                     run.SetStep(40);
                                     throw HelperFailure("paper jam");
                                 },
                                 sink, clock);
    EXPECT_EQ(code, 1);
    ASSERT_EQ(sink.events.size(), 3u);
    EXPECT_EQ(sink.events[1], "log:" + setup.errorText + "40 - paper jam");
    EXPECT_EQ(sink.events[2], "rec:5=" + setup.errorText + "paper jam");
    EXPECT_EQ(modJob::FailureDetail(sink.events[2].substr(6)), ": picture: paper jam");
}

TEST_F(FrameRun, LineWithoutSeparatorFailsUnderTheWholeText) {
    setup.style = ParseStyle::kStripQuotes;
    setup.stepSeparator.clear();
    bool printed = false;
    const std::string text = R"(garbage "/a.pdf")";
    RunHelperOn(
        text, setup,
        [&](HelperRun&) {
            printed = true;
            return Outcome::kPrinted;
        },
        sink, clock);
    EXPECT_FALSE(printed);
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[0].rfind("log:" + setup.errorText, 0), 0u);
    EXPECT_EQ(sink.events[1].rfind("rec:" + text + "=" + setup.errorText, 0), 0u);
}

TEST_F(FrameRun, NothingIsWrittenAfterTheFinalRecord) {
    RunHelperOn(R"(6@"/a.jpg" jpg)", setup,
                [](HelperRun& run) -> Outcome {
                    run.FailWith("own log", modJob::Status().failed + "own record");
                    run.WriteRecord("late");
                    throw HelperFailure("after the end");
                },
                sink, clock);
    ASSERT_EQ(sink.events.size(), 3u);
    EXPECT_EQ(sink.events[1], "log:own log");
    EXPECT_EQ(sink.events[2], "rec:6=" + modJob::Status().failed + "own record");

    sink.events.clear();
    const int code =
        RunHelperOn(R"(8@"/a.jpg" jpg)", setup,
                    [](HelperRun& run) {
                        run.Finish(modJob::Status().done);
                        return Outcome::kPrinted;  // the frame must not write done a second time
                    },
                    sink, clock);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(sink.events.size(), 2u);
}

TEST_F(FrameRun, UnwritableLogStillLeavesTheRecord) {
    sink.logFails = true;
    setup.errorText = "no prefix: ";  // the failed text is put in front
    RunHelperOn(R"(1@"/a.jpg" jpg)", setup,
                [](HelperRun&) -> Outcome { throw std::runtime_error("boom"); }, sink, clock);
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[1], "rec:1=" + modJob::Status().failed + "no prefix: boom");
}

TEST_F(FrameRun, ConversionSeamReportsItsFailureAsTheFinalRecord) {
    RunHelperOn(
        R"(2@"/a.xyz" xyz)", setup,
        [](HelperRun& run) {
            ConvertRemotely(run, {ConversionUser::kPictor, run.Line().path, run.Line().typeToken});
            return Outcome::kRecorded;
        },
        sink, clock);
    ASSERT_EQ(sink.events.size(), 3u);
    EXPECT_EQ(sink.events[1].rfind("log:" + setup.errorText, 0), 0u);
    EXPECT_EQ(sink.events[2].rfind("rec:2=" + setup.errorText, 0), 0u);
}

// With the real job store: the failure record under a whole argument text keeps the
// settings file readable, and an unsafe key is refused instead of corrupting it.
TEST(FrameStore, FailureUnderWholeTextKeepsTheSettingsFileSound) {
    vtest::TempDir dir;
    vellora::SetAppFolderForTesting(dir.path());
    modJob::ResetForTesting();
    modJob::WriteJobRecord("keep me", "1");
    HelperSetup setup;
    setup.errorText = modJob::Status().failed + " docs: ";
    const std::string text = R"(odd "/a.pdf")";
    RunHelperOn(
        text, setup, [](HelperRun&) { return Outcome::kPrinted; }, RealSink(), DefaultClock());
    EXPECT_EQ(modJob::ReadJobRecord(text).rfind(setup.errorText, 0), 0u);
    RunHelperOn(
        "a=b [x]\n", setup, [](HelperRun&) { return Outcome::kPrinted; }, RealSink(),
        DefaultClock());
    EXPECT_EQ(modJob::ReadJobRecord("1"), "keep me");
    EXPECT_EQ(modJob::ReadJobRecord(text).rfind(setup.errorText, 0), 0u);
    vellora::SetAppFolderForTesting("");
    modJob::ResetForTesting();
}

TEST(Waits, PollAgainstADeadlineAndTestAtLeastOnce) {
    ManualClock clock;
    const auto start = clock.Now();
    int tests = 0, pumps = 0;
    EXPECT_FALSE(WaitUntil([&] { return ++tests, false; }, 10s, clock, 50ms, [&] { ++pumps; }));
    EXPECT_GT(clock.Now() - start, 10s);
    EXPECT_LE(clock.Now() - start, 10s + 50ms);
    EXPECT_EQ(pumps, tests);

    tests = 0;
    EXPECT_TRUE(WaitUntil([&] { return ++tests == 3; }, 10s, clock, 2s));
    EXPECT_EQ(tests, 3);
    tests = 0;
    EXPECT_FALSE(WaitUntil([&] { return ++tests, false; }, 0s, clock, 1s));
    EXPECT_EQ(tests, 2);  // tested, deadline not yet passed, paused, tested again
}

TEST(Waits, ScaledSystemClockRunsFast) {
    ::setenv("VELLORA_WAIT_SCALE", "0.01", 1);
    SystemClock clock;
    ::unsetenv("VELLORA_WAIT_SCALE");
    const auto realStart = std::chrono::steady_clock::now();
    const auto start = clock.Now();
    clock.Pause(2s);
    EXPECT_GE(clock.Now() - start, 2s);
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, 1s);
}

}  // namespace
