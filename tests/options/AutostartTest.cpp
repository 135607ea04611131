// The autostart entry on its own: where it goes and what it says for awkward folder names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "main/core/Autostart.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;

namespace {

class AutostartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Keep("XDG_CONFIG_HOME", xdg_);
        Keep("HOME", home_);
    }
    void TearDown() override {
        Restore("XDG_CONFIG_HOME", xdg_);
        Restore("HOME", home_);
    }
    static void Keep(const char* name, std::optional<std::string>& into) {
        if (const char* v = std::getenv(name)) into = v;
    }
    static void Restore(const char* name, const std::optional<std::string>& v) {
        if (v)
            setenv(name, v->c_str(), 1);
        else
            unsetenv(name);
    }
    vtest::TempDir dir{"autostart"};
    std::optional<std::string> xdg_, home_;
};

TEST_F(AutostartTest, FolderFollowsXdgConfigHomeThenHome) {
    setenv("XDG_CONFIG_HOME", (dir.path() + "/cfg").c_str(), 1);
    EXPECT_EQ(AutostartEntryPath(), dir.path() + "/cfg/autostart/vellora.desktop");
    // A relative XDG_CONFIG_HOME is not a valid one: the home's default applies.
    setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    setenv("HOME", dir.path().c_str(), 1);
    EXPECT_EQ(AutostartEntryPath(), dir.path() + "/.config/autostart/vellora.desktop");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(AutostartEntryPath(), dir.path() + "/.config/autostart/vellora.desktop");
    unsetenv("HOME");
    EXPECT_EQ(AutostartFolder(), "");
    EXPECT_THROW(WriteAutostartEntry("/opt/vellora"), AutostartError);
    EXPECT_NO_THROW(RemoveAutostartEntry());
}

TEST_F(AutostartTest, EntryQuotesAndEscapesTheProgramPath) {
    const std::string text = AutostartEntryText("/opt/My \"Mail\" $HOME 100%\\x");
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);
    // Exec: quoted, with " $ \ escaped for the command line, then \ and % for the file.
    EXPECT_NE(text.find("\nExec=\"/opt/My \\\\\"Mail\\\\\" \\\\$HOME 100%%\\\\\\\\x/vellora\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\nPath=/opt/My \"Mail\" $HOME 100%\\\\x\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nName="), std::string::npos);
    EXPECT_THROW(AutostartEntryText("/opt/two\nlines"), AutostartError);
}

TEST_F(AutostartTest, WriteReplacesAndRemoveDeletes) {
    setenv("XDG_CONFIG_HOME", (dir.path() + "/new/cfg").c_str(), 1);
    EXPECT_FALSE(AutostartEntryExists());
    WriteAutostartEntry("/opt/a");
    ASSERT_TRUE(AutostartEntryExists());
    WriteAutostartEntry("/opt/b");
    const std::string text = vtest::ReadFile(AutostartEntryPath());
    EXPECT_NE(text.find("Exec=\"/opt/b/vellora\""), std::string::npos);
    EXPECT_EQ(text.find("/opt/a"), std::string::npos);
    RemoveAutostartEntry();
    EXPECT_FALSE(AutostartEntryExists());
    EXPECT_NO_THROW(RemoveAutostartEntry());
    // A folder that cannot be made is an error, never a silent success.
    vtest::WriteFile(dir.path() + "/file", "x");
    setenv("XDG_CONFIG_HOME", (dir.path() + "/file").c_str(), 1);
    EXPECT_THROW(WriteAutostartEntry("/opt/a"), AutostartError);
}

}  // namespace
