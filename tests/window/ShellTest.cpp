// Module1: the shell's splitting rules, its result codes through xdg-open, the file test,
// the counter step, and a real launch of a helper that outlives the program that started it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <fstream>

#include "platform/shell/Module1.h"
#include "tests/support/TestSupport.h"

using namespace Module1;
using namespace std::chrono;

namespace {

TEST(ShellSplit, AWebAddressWithoutABlankIsTheWholeFile) {
    const auto p = SplitShellLine("http://127.0.0.1/vellora?x=1");
    EXPECT_EQ(p.file, "http://127.0.0.1/vellora?x=1");
    EXPECT_EQ(p.parameters, "");
    EXPECT_EQ(p.workFolder, "");  // the current folder
}

TEST(ShellSplit, AQuotedPathWithBlanksSplitsAfterTheClosingQuote) {
    const auto p = SplitShellLine("\"C:\\Program Files\\Tool\\app.exe\"   -a \"b c\"");
    EXPECT_EQ(p.file, "C:\\Program Files\\Tool\\app.exe");
    EXPECT_EQ(p.parameters, "-a \"b c\"");
    EXPECT_EQ(p.workFolder, "C:\\Program Files\\Tool");
    const auto q = SplitShellLine("\"/opt/my tools/run\" now");
    EXPECT_EQ(q.file, "/opt/my tools/run");
    EXPECT_EQ(q.parameters, "now");
    EXPECT_EQ(q.workFolder, "/opt/my tools");
}

TEST(ShellSplit, AnOpeningQuoteWithoutItsCloseIsTheWholeLine) {
    const auto p = SplitShellLine("\"C:\\dir\\x y");
    EXPECT_EQ(p.file, "\"C:\\dir\\x y");
    EXPECT_EQ(p.parameters, "");
}

TEST(ShellSplit, WorkingFolderKeepsItsSeparatorOnlyAtARoot) {
    EXPECT_EQ(SplitShellLine("C:\\x").workFolder, "C:\\");
    EXPECT_EQ(SplitShellLine("C:\\dir\\x").workFolder, "C:\\dir");
    EXPECT_EQ(SplitShellLine("/x").workFolder, "/");
    EXPECT_EQ(SplitShellLine("/usr/bin/prog --flag value").workFolder, "/usr/bin");
    EXPECT_EQ(SplitShellLine("/usr/bin/prog --flag value").parameters, "--flag value");
    EXPECT_EQ(SplitShellLine("/usr/bin/prog a", std::string("/tmp")).workFolder, "/tmp");
    EXPECT_EQ(SplitShellLine("prog a").workFolder, "");
}

class ShellRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        mkdir((dir / "bin").c_str(), 0755);
        // A recording stand-in for the desktop's opener.
        WriteScript(dir / "bin/xdg-open", "#!/bin/sh\necho \"$@\" > \"" + dir / "opened.tmp" +
                                              "\"\nmv \"" + dir / "opened.tmp" + "\" \"" +
                                              dir / "opened" + "\"\n");
        setenv("PATH", (dir / "bin:/usr/bin:/bin").c_str(), 1);
    }
    void TearDown() override { setenv("PATH", oldPath.c_str(), 1); }
    static void WriteScript(const std::string& path, const std::string& text) {
        vtest::WriteFile(path, text);
        chmod(path.c_str(), 0755);
    }
    std::string WaitRead(const std::string& path) {
        vtest::WaitFor([&] { return vtest::Exists(path); }, seconds(10));
        Module1::ReapChildren();
        return vtest::Exists(path) ? vtest::ReadFile(path) : "";
    }
    vtest::TempDir dir{"window-shell"};
    std::string oldPath;
};

TEST_F(ShellRunTest, AddressesAndDocumentsGoToTheOpener) {
    EXPECT_GT(ShellRun("https://127.0.0.1/page?a=1&b=2", 1), 31);
    EXPECT_EQ(WaitRead(dir / "opened"), "https://127.0.0.1/page?a=1&b=2\n");
    std::remove((dir / "opened").c_str());
    vtest::WriteFile(dir / "report one.pdf", "%PDF");
    EXPECT_GT(ShellRun("\"" + dir / "report one.pdf" + "\"", 1), 31);
    EXPECT_EQ(WaitRead(dir / "opened"), dir / "report one.pdf" + "\n");
}

TEST_F(ShellRunTest, AProgramRunsWithItsParametersInItsFolder) {
    mkdir((dir / "tool dir").c_str(), 0755);
    WriteScript(dir / "tool dir/tool",
                "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > ran.tmp\n"
                "mv ran.tmp ran\n");
    EXPECT_GT(ShellRun("\"" + dir / "tool dir/tool" + "\" one \"two three\"", 1), 31);
    EXPECT_EQ(WaitRead(dir / "tool dir/ran"), dir / "tool dir" + "\n[one]\n[two three]\n");
}

TEST_F(ShellRunTest, FailuresRaiseFourThousandPlusTheShellCode) {
    auto number = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const ShellError& e) {
            return e.number;
        }
        return 0;
    };
    EXPECT_EQ(number([&] { ShellRun(dir / "missing.doc", 1); }), 4002);
    EXPECT_EQ(number([&] { ShellRun("x.doc", 1, dir / "no-such-folder"); }), 4003);
    setenv("PATH", (dir / "empty").c_str(), 1);
    vtest::WriteFile(dir / "a.txt", "x");
    EXPECT_EQ(number([&] { ShellRun(dir / "a.txt", 1); }), 4031);
}

TEST(FileTests, FileExistsIsFalseForFoldersAndMissingPaths) {
    vtest::TempDir dir("window-fe");
    vtest::WriteFile(dir / "f", "1");
    EXPECT_TRUE(FileExists(dir / "f"));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir / "nope"));
    EXPECT_FALSE(FileExists(""));
}

TEST(Counter, IncrementLongStepsAndFailsAtTheTop) {
    std::int32_t n = 41;
    EXPECT_EQ(IncrementLong(n), 42);
    EXPECT_EQ(n, 42);
    n = INT32_MAX;
    EXPECT_THROW(IncrementLong(n), std::overflow_error);
    EXPECT_EQ(n, INT32_MAX);
}

TEST(LaunchSplit, TheProgramPathMayHoldBlanks) {
    vtest::TempDir dir("window split");
    vtest::WriteFile(dir / "pictor", "#!/bin/sh\n");
    chmod((dir / "pictor").c_str(), 0755);
    const auto p = SplitLaunchLine(dir / "pictor" + " 12@\"/tmp/a b.png\" png");
    EXPECT_EQ(p.program, dir / "pictor");
    EXPECT_EQ(p.argumentText, "12@\"/tmp/a b.png\" png");
    const auto q = SplitLaunchLine("/nowhere/helper 7@\"x\"");
    EXPECT_EQ(q.program, "/nowhere/helper");
    EXPECT_EQ(q.argumentText, "7@\"x\"");
    EXPECT_EQ(SplitLaunchLine("/bin/true").argumentText, "");
}

std::map<std::string, std::string> ReadKeys(const std::string& path) {
    std::map<std::string, std::string> keys;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        keys[line.substr(0, eq)] += line.substr(eq + 1);
    }
    return keys;
}

TEST(Launch, AHelperGetsOneArgumentANewSessionAndOutlivesItsParent) {
    vtest::TempDir dir("window launch");
    // The helper lives in a folder with a blank, like an installation folder may.
    const std::string helper = dir / "helper bin";
    mkdir(helper.c_str(), 0755);
    const std::string child = helper + "/child";
    ASSERT_EQ(symlink(WINDOW_HELPERS_DIR "/window_outlive_child", child.c_str()), 0);
    const std::string argument = "20260310@\"" + dir / "doc one.png" + "\" png";

    vtest::Process::Options options;
    options.env = {{"OUTLIVE_FOLDER", dir.path()},
                   {"LPDEST", "elsewhere"},
                   {"PRINTER", "other"},
                   {"OUTLIVE_KEEP", "kept"}};
    options.stdoutFile = dir / "parent.out";
    vtest::Process parent({WINDOW_HELPERS_DIR "/window_launch_parent", child + " " + argument},
                          options);
    ASSERT_EQ(parent.wait(seconds(10)), 0);
    const pid_t childPid = std::atoi(vtest::ReadFile(dir / "parent.out").c_str());
    ASSERT_GT(childPid, 0);
    ASSERT_TRUE(vtest::WaitFor([&] { return vtest::Exists(dir / "started"); }, seconds(10)));

    auto keys = ReadKeys(dir / "started");
    EXPECT_EQ(keys["argc"], "2");
    EXPECT_EQ(keys["arg"], argument);     // the whole argument text as one argument
    EXPECT_EQ(keys["sid"], keys["pid"]);  // a session of its own
    EXPECT_EQ(keys["LPDEST"], "unset");
    EXPECT_EQ(keys["PRINTER"], "unset");
    EXPECT_EQ(keys["KEEP"], "kept");

    // The parent is gone; the child is still there and carries on when told.
    EXPECT_EQ(kill(childPid, 0), 0);
    vtest::WriteFile(dir / "go", "");
    const bool done = vtest::WaitFor([&] { return vtest::Exists(dir / "done"); }, seconds(10));
    if (!done) kill(childPid, SIGKILL);
    EXPECT_TRUE(done);
}

}  // namespace
