// The sandbox against the real bubblewrap: what a confined program can reach (no network,
// none of our files, only its own folder to write), and the unconfined road where bubblewrap
// cannot run: one notice, or a refusal when the sandbox is required.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/confine/Confine.h"
#include "platform/office/GroupRun.h"
#include "tests/html/CountingServer.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using vellora::confine::Mode;
using vellora::confine::Sandbox;

class Confine : public ::testing::Test {
  protected:
    void SetUp() override { vellora::confine::ResetForTesting(); }
    void TearDown() override {
        unsetenv("VELLORA_BWRAP");
        vellora::confine::ResetForTesting();
    }
    // Runs a shell command as the sandbox gives it; the exit code.
    int RunWrapped(const std::string& script, const Sandbox& box, Mode mode = Mode::Auto) {
        const auto wrapped = vellora::confine::Wrap({"/bin/sh", "-c", script}, box, mode);
        if (!wrapped.error.empty()) return -100;
        const auto run = vellora::office::RunInOwnGroup(wrapped.argv, {}, dir_ / "run.log", 20s);
        return run.exitCode;
    }
    vtest::TempDir dir_{"confine"};
};

TEST_F(Confine, ProgramSeesOnlyTheSystemAndItsOwnFolderAndNoNetwork) {
    std::string why;
    ASSERT_TRUE(vellora::confine::Available(&why)) << "bubblewrap must run here: " << why;
    const std::string run = dir_ / "run";
    const std::string outside = dir_ / "outside";
    fs::create_directories(run);
    fs::create_directories(outside);
    vtest::WriteFile(outside + "/secret.txt", "SECRET");
    vtest::html::CountingServer server;
    Sandbox box;
    box.writable = {run};
    box.home = run;
    const std::string probe = "import socket,sys\ntry:\n socket.create_connection(('127.0.0.1'," +
                              std::to_string(server.port()) +
                              "),2)\n sys.exit(0)\nexcept OSError:\n sys.exit(3)\n";
    vtest::WriteFile(run + "/probe.py", probe);
    const struct {
        std::string what, script;
        int expected;
    } cases[] = {
        {"the system's programs", "test -x /usr/bin/python3", 0},
        {"its own folder, to write", "echo made > " + run + "/made && test \"$HOME\" = " + run, 0},
        {"a private /tmp", "echo x > /tmp/mine && test -f /tmp/mine", 0},
        {"no file of ours", "test ! -e " + outside + "/secret.txt", 0},
        {"no home, no settings", "test ! -e /root && test ! -e /home && test ! -e /etc/passwd", 0},
        {"no process of ours", "test ! -e /proc/" + std::to_string(::getpid()), 0},
        {"no network", "/usr/bin/python3 " + run + "/probe.py", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(RunWrapped(c.script, box), c.expected) << c.what;
    EXPECT_EQ(vtest::ReadFile(run + "/made"), "made\n");
    EXPECT_EQ(server.connections(), 0);
    EXPECT_FALSE(fs::exists("/tmp/mine")) << "the private /tmp is not the machine's";
}

TEST_F(Confine, WithoutBubblewrapTheRunIsUnconfinedAndSaidOnce) {
    setenv("VELLORA_BWRAP", (dir_ / "no-bwrap").c_str(), 1);
    std::vector<std::string> notices;
    vellora::confine::SetNoticeHandler([&](const std::string& t) { notices.push_back(t); });
    std::string why;
    EXPECT_FALSE(vellora::confine::Available(&why));
    EXPECT_NE(why.find("no-bwrap"), std::string::npos) << why;
    const std::vector<std::string> argv = {"/bin/true", "x"};
    for (int i = 0; i < 3; ++i) {
        const auto wrapped = vellora::confine::Wrap(argv, Sandbox{}, Mode::Auto);
        EXPECT_FALSE(wrapped.confined);
        EXPECT_EQ(wrapped.argv, argv);
    }
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("bubblewrap"), std::string::npos) << notices[0];
    const auto required = vellora::confine::Wrap(argv, Sandbox{}, Mode::Required);
    EXPECT_TRUE(required.argv.empty());
    EXPECT_NE(required.error.find("require"), std::string::npos) << required.error;
}

// Several helper runs (processes) share one notice through the marker, until the sandbox
// works again.
TEST_F(Confine, MarkerKeepsTheNoticeToOneAcrossRuns) {
    const std::string marker = dir_ / ".unconfined";
    int notices = 0;
    auto run = [&](const std::string& bwrap) {
        vellora::confine::ResetForTesting();  // a new process
        setenv("VELLORA_BWRAP", bwrap.c_str(), 1);
        vellora::confine::SetNoticeMarker(marker);
        vellora::confine::SetNoticeHandler([&](const std::string&) { ++notices; });
        vellora::confine::Wrap({"/bin/true"}, Sandbox{}, Mode::Auto);
    };
    run(dir_ / "missing");
    run(dir_ / "missing");
    EXPECT_EQ(notices, 1);
    EXPECT_TRUE(fs::exists(marker));
    run("/usr/bin/bwrap");
    EXPECT_FALSE(fs::exists(marker)) << "a working sandbox forgets the notice";
    run(dir_ / "missing");
    EXPECT_EQ(notices, 2);
}

}  // namespace
