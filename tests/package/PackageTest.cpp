// What the Debian package holds, checked with Debian's own tools on the built .deb and on its
// contents unpacked into a private root.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "tests/package/PackageFiles.h"
#include "tests/support/TestSupport.h"

namespace vtest::package {
namespace {
namespace fs = std::filesystem;

const std::vector<std::string> kPrograms = {
    "vellora", "pictor", "docuvan", "webbin",           "scriblet",
    "gridlet", "slidor", "picconv", "vellora-convertd", "vellora-notifyd"};
const std::vector<std::string> kCommands = {"vellora", "vellora-convertd", "vellora-notifyd"};
const std::vector<std::string> kUnits = {"vellora.service", "vellora-convertd.service",
                                         "vellora-notifyd.service"};
const std::vector<int> kIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr const char* kAppId = "org.vellora.Vellora";

std::string Field(const std::string& name) {
    const Result r = RunTool("dpkg-deb", {"--field", DebPath(), name});
    EXPECT_EQ(r.code, 0) << r.output;
    std::string value = r.output;
    while (!value.empty() && value.back() == '\n') value.pop_back();
    return value;
}

// "path" -> the listing line of dpkg-deb --contents (mode, owner, size, date, path [-> target]).
std::map<std::string, std::string> Contents() {
    const Result r = RunTool("dpkg-deb", {"--contents", DebPath()});
    EXPECT_EQ(r.code, 0) << r.output;
    std::map<std::string, std::string> listing;
    for (const auto& line : Lines(r.output)) {
        const auto at = line.find(" ./");
        if (at == std::string::npos) continue;
        std::string path = line.substr(at + 2);
        if (const auto arrow = path.find(" -> "); arrow != std::string::npos) path.resize(arrow);
        listing[path] = line;
    }
    return listing;
}

// Libraries come from dpkg-shlibdeps over the programs; the rest are programs run by name.
TEST(PackageControl, DependsOnLinkedLibrariesAndTheProgramsItRuns) {
    const std::string depends = Field("Depends");
    const std::vector<std::string> expected = {"libc6",
                                               "libstdc++6",
                                               "libqt6widgets6",
                                               "libqt6webenginecore6",
                                               "libcups2",
                                               "libcurl4",
                                               "libgmime-3.0-0",
                                               "libpoppler-cpp0v5",
                                               "libpcre2-8-0",
                                               "libreoffice-writer-nogui | libreoffice-writer",
                                               "libreoffice-calc-nogui | libreoffice-calc",
                                               "libreoffice-impress-nogui | libreoffice-impress",
                                               "cups-client",
                                               "imagemagick",
                                               "libheif1",
                                               "libqt6webenginecore6-bin",
                                               "qt6-image-formats-plugins",
                                               "fonts-dejavu-core",
                                               "fonts-liberation2",
                                               "fonts-crosextra-carlito",
                                               "fonts-crosextra-caladea",
                                               "xdg-utils"};
    for (const auto& name : expected) {
        const std::regex entry(
            "(^|, )" + std::regex_replace(name, std::regex(R"([|+.])"), R"(\$&)") + "( \\(|,|$)");
        EXPECT_TRUE(std::regex_search(depends, entry)) << name << " missing from: " << depends;
    }
    EXPECT_NE(Field("Recommends").find("bubblewrap"), std::string::npos);
}

TEST(PackageFiles, ProgramsSideBySideWithLinksForTheCommands) {
    const auto listing = Contents();
    for (const auto& program : kPrograms) {
        const std::string path = "/usr/lib/vellora/" + program;
        ASSERT_TRUE(listing.count(path)) << path << " is not in the package";
        EXPECT_EQ(listing.at(path).rfind("-rwxr-xr-x root/root ", 0), 0u) << listing.at(path);
    }
    for (const auto& command : kCommands) {
        const std::string path = "/usr/bin/" + command;
        ASSERT_TRUE(listing.count(path)) << path << " is not in the package";
        EXPECT_EQ(fs::read_symlink(Root() + path), "../lib/vellora/" + command);
    }
    // The body pages' logo, read beside the programs.
    EXPECT_TRUE(fs::is_regular_file(Root() + "/usr/lib/vellora/vellora-logo.svg"));
}

TEST(PackageFiles, NothingOutsideUsrAndNothingButProgramsInTheProgramFolder) {
    const std::set<std::string> programs(kPrograms.begin(), kPrograms.end());
    for (const auto& [path, line] : Contents()) {
        EXPECT_EQ(path.rfind("/usr/", 0), 0u) << line;
        EXPECT_EQ(line.find("root/root"), 11u) << line;
        const std::string folder = "/usr/lib/vellora/";
        if (path.rfind(folder, 0) == 0 && path.size() > folder.size()) {
            const std::string name = path.substr(folder.size());
            EXPECT_TRUE(programs.count(name) || name == "vellora-logo.svg") << line;
        }
    }
}

TEST(PackageFiles, DesktopEntryValidates) {
    const std::string entry = Root() + "/usr/share/applications/" + kAppId + ".desktop";
    ASSERT_TRUE(Exists(entry));
    const Result r = RunTool("desktop-file-validate", {entry});
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(r.output, "") << "errors, warnings or hints";
    const std::string text = ReadFile(entry);
    EXPECT_NE(text.find("\nExec=vellora\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=vellora\n"), std::string::npos);
}

TEST(PackageFiles, MetainfoValidatesAndNamesTheDesktopEntry) {
    const std::string metainfo = Root() + "/usr/share/metainfo/" + kAppId + ".metainfo.xml";
    ASSERT_TRUE(Exists(metainfo));
    const Result r = RunTool("appstreamcli", {"validate", "--no-net", "--no-color", metainfo});
    EXPECT_EQ(r.code, 0) << r.output;
    const std::string text = ReadFile(metainfo);
    EXPECT_NE(text.find(std::string("<id>") + kAppId + "</id>"), std::string::npos);
    EXPECT_NE(text.find(std::string(">") + kAppId + ".desktop</launchable>"), std::string::npos);
    EXPECT_NE(text.find("version=\"" VELLORA_VERSION "\""), std::string::npos)
        << "the release of the metainfo is not the package's version";
}

// systemd-analyze verify checks the units as the user's manager would load them; the program
// paths point into the unpacked root, since the package is not installed on this machine.
Result VerifyUnits(const TempDir& dir, const std::vector<std::string>& units) {
    fs::create_directories(dir / "run");
    fs::permissions(dir / "run", fs::perms::owner_all);
    std::vector<std::string> args = {"XDG_RUNTIME_DIR=" + (dir / "run"),
                                     "HOME=" + dir.path(),
                                     "systemd-analyze",
                                     "--user",
                                     "verify",
                                     "--man=no"};
    args.insert(args.end(), units.begin(), units.end());
    return RunTool("env", args);
}

std::string UnitFromRoot(const TempDir& dir, const std::string& unit) {
    std::string text = ReadFile(Root() + "/usr/lib/systemd/user/" + unit);
    for (std::size_t at = 0; (at = text.find("=/usr/", at)) != std::string::npos; ++at)
        text.replace(at + 1, 5, Root() + "/usr/");
    const std::string path = dir / unit;
    WriteFile(path, text);
    return path;
}

TEST(PackageFiles, SystemdUserUnitsVerify) {
    if (Tool("systemd-analyze").empty()) GTEST_SKIP() << "systemd-analyze is not installed";
    TempDir dir("vellora-units");
    std::vector<std::string> units;
    for (const auto& unit : kUnits) {
        ASSERT_TRUE(Exists(Root() + "/usr/lib/systemd/user/" + unit)) << unit;
        units.push_back(UnitFromRoot(dir, unit));
    }
    const Result r = VerifyUnits(dir, units);
    if (r.output.find("Failed to initialize manager") != std::string::npos)
        GTEST_SKIP() << "systemd-analyze cannot start a user manager here: " << r.output;
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(r.output, "");
    // The check itself can fail here: a unit whose program is missing is refused.
    TempDir broken("vellora-units");
    std::string text = ReadFile(units.front());
    text.replace(text.find("ExecStart=") + 10, 0, "/nonexistent");
    WriteFile(broken / kUnits.front(), text);
    EXPECT_NE(VerifyUnits(broken, {broken / kUnits.front()}).code, 0);
}

std::pair<int, int> PngSize(const std::string& path) {
    const std::string data = ReadFile(path);
    if (data.size() < 24 || data.compare(1, 3, "PNG") != 0) return {0, 0};
    const auto be = [&](std::size_t at) {
        int v = 0;
        for (std::size_t i = 0; i < 4; ++i) v = v * 256 + static_cast<unsigned char>(data[at + i]);
        return v;
    };
    return {be(16), be(20)};
}

TEST(PackageFiles, IconsInTheHicolorThemeRenderedFromTheWindowsIcon) {
    const std::string theme = Root() + "/usr/share/icons/hicolor/";
    const std::string svg = theme + "scalable/apps/vellora.svg";
    ASSERT_TRUE(Exists(svg));
    EXPECT_EQ(ReadFile(svg), ReadFile(SourceDir() + "/main/forms/resources/vellora.svg"));
    for (int size : kIconSizes) {
        const std::string dim = std::to_string(size) + "x" + std::to_string(size);
        const std::string png = theme + dim + "/apps/vellora.png";
        EXPECT_EQ(PngSize(png), std::make_pair(size, size)) << png;
    }
}

TEST(PackageFiles, ManualPagesFormatWithoutWarnings) {
    for (const auto& page : kCommands) {
        const std::string path = Root() + "/usr/share/man/man1/" + page + ".1.gz";
        ASSERT_TRUE(Exists(path)) << path;
        // As lintian reads them: every groff warning on, output thrown away.
        const Result r =
            RunTool("sh", {"-c",
                           "LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \"$1\" "
                           "2>&1 >/dev/null",
                           "sh", path});
        EXPECT_EQ(r.code, 0) << page << ": " << r.output;
        EXPECT_EQ(r.output, "") << page;
    }
}

// Every option a service names in its usage text has its entry in the service's manual page.
TEST(PackageFiles, ServiceManualPagesDescribeEveryOptionOfTheUsageText) {
    for (const std::string service : {"vellora-convertd", "vellora-notifyd"}) {
        std::string usage;
        const int code =
            vtest::Run({Root() + "/usr/bin/" + service, "--no-such-option", "x"}, &usage);
        EXPECT_EQ(code, 2) << usage;
        const std::string page = ManPageText(Root() + "/usr/share/man/man1/" + service + ".1.gz");
        const std::regex option("--[a-z][a-z-]*");
        int seen = 0;
        for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option);
             it != std::sregex_iterator(); ++it) {
            const std::string name = it->str();
            if (name == "--no-such-option") continue;
            ++seen;
            const std::regex entry("(^|\n)\\.B[IR]? " + name + "[ \n]");
            EXPECT_TRUE(std::regex_search(page, entry))
                << service << "(1) does not describe " << name;
        }
        EXPECT_GE(seen, 5) << "no usage text from " << service << ": " << usage;
    }
}

}  // namespace
}  // namespace vtest::package
