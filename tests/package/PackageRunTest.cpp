// The programs of the package, unpacked into a private root with dpkg-deb -x, start from
// there: the helpers run their frame, the services read their command line, and the main
// program comes up through the /usr/bin link.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/package/PackageFiles.h"
#include "tests/support/TestSupport.h"

namespace vtest::package {
namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::vector<std::string> kHelpers = {"pictor",   "docuvan", "webbin",
                                           "scriblet", "gridlet", "slidor"};

std::string Program(const std::string& name) {
    return Root() + "/usr/lib/vellora/" + name;
}

// A private folder for everything a program writes, and a private home.
Process::Options Private(const TempDir& dir) {
    Process::Options o;
    o.env = {{"VELLORA_FOLDER", dir.path()},
             {"HOME", dir.path()},
             {"QT_QPA_PLATFORM", "offscreen"},
             {"QTWEBENGINE_DISABLE_SANDBOX", "1"}};
    o.unsetEnv = {"LPDEST", "PRINTER", "DISPLAY", "WAYLAND_DISPLAY"};
    return o;
}

// A helper started without its job argument fails its run the way it fails a bad job: an
// error line in the log file, exit code 1, no crash.
TEST(PackageRun, HelpersFailAMissingJobArgumentWithALogLine) {
    for (const auto& helper : kHelpers) {
        TempDir dir("vellora-run");
        std::string output;
        const int code = vtest::Run({Program(helper)}, &output, 60s, Private(dir));
        EXPECT_EQ(code, 1) << helper << ": " << output;
        const std::string log = dir / "vellora.log";
        EXPECT_FALSE(Exists(log) ? ReadFile(log).empty() : true) << helper << " wrote no log line";
    }
}

TEST(PackageRun, PictureConverterRefusesAMissingSource) {
    TempDir dir("vellora-run");
    EXPECT_EQ(vtest::Run({Program("picconv")}, nullptr, 30s, Private(dir)), 2);
}

TEST(PackageRun, ServicesRefuseABadOptionWithTheirUsage) {
    for (const std::string service : {"vellora-convertd", "vellora-notifyd"}) {
        TempDir dir("vellora-run");
        std::string output;
        const int code = vtest::Run({Root() + "/usr/bin/" + service, "--port", "none"}, &output,
                                    30s, Private(dir));
        EXPECT_EQ(code, 2) << service << ": " << output;
        EXPECT_NE(output.find("usage: " + service), std::string::npos) << output;
    }
}

// The window without a display: set up (a user address), it loads and makes its temporary
// folder, then keeps running until it is ended.
TEST(PackageRun, MainProgramStartsThroughItsCommandLink) {
    TempDir dir("vellora-run");
    WriteFile(dir / "vellora.ini", "[General]\nUserEmail=print@example.org\nCheckInterval=0\n");
    Process::Options o = Private(dir);
    o.stdoutFile = dir / "output.txt";
    Process vellora({Root() + "/usr/bin/vellora"}, o);
    const bool loaded = WaitFor([&] { return fs::is_directory(dir / "temp"); }, 60s, 100ms);
    EXPECT_TRUE(loaded) << "no temporary folder; output: " << ReadFile(dir / "output.txt");
    EXPECT_TRUE(vellora.running()) << ReadFile(dir / "output.txt");
    vellora.stop();
}

// The headless run from the package comes here once the program has its headless mode:
// unpacked root, private HOME, settings in ~/.config/vellora/, the private Dovecot and cupsd,
// log and status files in ~/.local/state/vellora/, temporary files in ~/.cache/vellora/,
// nothing written under the unpacked program folder.

}  // namespace
}  // namespace vtest::package
