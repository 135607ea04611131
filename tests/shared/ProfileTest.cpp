#include <sys/stat.h>

#include <gtest/gtest.h>

#include "shared/Profile.h"
#include "shared/basINI_IO.h"
#include "tests/support/TestSupport.h"

using namespace basINI_IO;
namespace profile = vellora::profile;

namespace {

class Settings : public ::testing::Test {
  protected:
    std::string Read(const std::string& s, const std::string& k) {
        return ReadSettingText(file, s, k);
    }
    void Seed(const std::string& text) { vtest::WriteFile(file, text); }
    vtest::TempDir dir;
    std::string file = dir / "settings.ini";
};

TEST_F(Settings, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
    EXPECT_EQ(Read("General", "x"), "Bad Key");
    EXPECT_EQ(ReadSettingNumber(file, "General", "x"), -1);
    WriteSettingText("v", file, "General", "x");
    EXPECT_EQ(Read("General", "x"), "v");
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);  // it holds passwords
}

TEST_F(Settings, NamesIgnoreCaseAndBlanksQuotesAreTrimmed) {
    Seed("[General]\n  Name =  spaced value  \nQuoted=\"  kept  \"\nSingle='x'\nHalf=\"open\n");
    EXPECT_EQ(Read("general", "NAME"), "spaced value");
    EXPECT_EQ(Read("GENERAL", "quoted"), "  kept  ");
    EXPECT_EQ(Read("General", "Single"), "x");
    EXPECT_EQ(Read("General", "Half"), "\"open");
}

TEST_F(Settings, BadKeyStoredOrMinusOneReadAsAbsent) {
    Seed("[S]\nText=Bad Key\nNum=-1\nWord=abc\nLead=42abc\n");
    EXPECT_EQ(Read("S", "Text"), MissingValue());
    EXPECT_EQ(ReadSettingNumber(file, "S", "Num"), -1);
    EXPECT_EQ(ReadSettingNumber(file, "S", "Word"), 0);
    EXPECT_EQ(ReadSettingNumber(file, "S", "Lead"), 42);
}

TEST_F(Settings, FirstSectionAndKeyWinAndWritesGoThere) {
    Seed("[A]\nk=1\nk=2\n[B]\nk=b\n[a]\nk=3\nj=4\n");
    EXPECT_EQ(Read("A", "k"), "1");
    EXPECT_EQ(Read("A", "j"), "Bad Key");  // only the first [A] counts
    WriteSettingText("9", file, "A", "k");
    EXPECT_EQ(Read("A", "k"), "9");
    EXPECT_EQ(Read("B", "k"), "b");
    const auto text = vtest::ReadFile(file);
    EXPECT_NE(text.find("k=2"), std::string::npos);
    EXPECT_NE(text.find("k=3"), std::string::npos);
}

TEST_F(Settings, GarbageCommentsAndLinesWithoutEqualsSurviveWrites) {
    Seed("garbage before\n; a comment\n[S]\nno equals here\n;k=commented\nk=1\n\n[T]\nx=y\n");
    EXPECT_EQ(Read("S", "k"), "1");
    WriteSettingText("2", file, "S", "new");
    WriteSettingText("3", file, "S", "k");
    const auto text = vtest::ReadFile(file);
    for (const char* kept : {"garbage before", "; a comment", "no equals here", ";k=commented"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept;
    EXPECT_EQ(Read("S", "new"), "2");
    EXPECT_EQ(Read("S", "k"), "3");
    EXPECT_EQ(Read("T", "x"), "y");
    // A new key joins its own section, before the blank line that separates the next one.
    EXPECT_LT(text.find("new=2"), text.find("[T]"));
}

TEST_F(Settings, LongLinesAreCutOnRead) {
    const std::string longValue(5000, 'v');
    WriteSettingText(longValue, file, "S", "k");
    EXPECT_EQ(Read("S", "k"), std::string(1023, 'v'));
    WriteSettingText("after", file, "S", "j");
    EXPECT_EQ(Read("S", "j"), "after");
    EXPECT_EQ(profile::ReadString(file, "S", "k")->size(), 5000u);  // stored whole
}

TEST_F(Settings, CrLfAndLfFilesBothRead) {
    Seed("[S]\r\nk=crlf\r\nj=2\r\n");
    EXPECT_EQ(Read("S", "k"), "crlf");
    WriteSettingText("3", file, "S", "n");
    EXPECT_EQ(vtest::ReadFile(file), "[S]\r\nk=crlf\r\nj=2\r\nn=3\r\n");
}

TEST_F(Settings, DeleteKeyAndWholeSection) {
    Seed("[S]\na=1\nb=2\n[T]\nc=3\n[s]\nd=4\n");
    DeleteSettingKey(file, "S", "a");
    EXPECT_EQ(Read("S", "a"), "Bad Key");
    EXPECT_EQ(Read("S", "b"), "2");
    DeleteSettingKey(file, "S", "missing");  // harmless
    WriteSettingText(std::nullopt, file, "s", std::nullopt);
    EXPECT_EQ(Read("S", "b"), "Bad Key");
    EXPECT_EQ(Read("S", "d"), "Bad Key");  // a duplicate does not resurface
    EXPECT_EQ(Read("T", "c"), "3");
}

TEST_F(Settings, ValuesNeverInjectLinesAndBadKeysAreRefused) {
    WriteSettingText("first\r\n[General]\r\nUserEmail=evil", file, "Jobs", "Job1");
    EXPECT_EQ(Read("Jobs", "Job1"), "first  [General]  UserEmail=evil");
    EXPECT_EQ(Read("General", "UserEmail"), "Bad Key");
    for (const char* bad : {"a=b", "a\nb", "[x", "", ";c"}) {
        WriteSettingText("v", file, "Jobs", std::string(bad));
        EXPECT_EQ(profile::ReadString(file, "Jobs", bad), std::nullopt) << bad;
    }
    EXPECT_FALSE(profile::WriteString(file, "a]b", "k", "v"));
    EXPECT_FALSE(profile::WriteString(file, "a\nb", "k", "v"));
}

TEST_F(Settings, UnwritableFolderLosesTheWriteQuietly) {
    const std::string ro = dir / "ro";
    ASSERT_EQ(mkdir(ro.c_str(), 0500), 0);
    const std::string f = ro + "/s.ini";
    WriteSettingText("v", f, "S", "k");  // must not throw or crash
    if (getuid() != 0) {
        EXPECT_EQ(ReadSettingText(f, "S", "k"), "Bad Key");
    }
    WriteSettingNumber(5, dir / "missing-folder/s.ini", "S", "k");
    EXPECT_EQ(ReadSettingNumber(dir / "missing-folder/s.ini", "S", "k"), -1);
}

TEST_F(Settings, NumbersRoundTripAsSigned32Bit) {
    WriteSettingNumber(-2147483647 - 1, file, "N", "min");
    WriteSettingNumber(2147483647, file, "N", "max");
    WriteSettingNumber(0, file, "N", "zero");
    EXPECT_EQ(ReadSettingNumber(file, "N", "min"), -2147483647 - 1);
    EXPECT_EQ(ReadSettingNumber(file, "N", "max"), 2147483647);
    EXPECT_EQ(ReadSettingNumber(file, "N", "zero"), 0);
    EXPECT_EQ(Read("N", "max"), "2147483647");
}

}  // namespace
