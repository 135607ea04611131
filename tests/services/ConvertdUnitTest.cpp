// The conversion service's decisions without a server: which family and reader a type token
// names, which result names exist, the command line, and the sweep of old results.
#include <gtest/gtest.h>

#include <filesystem>

#include "services/convertd/Converter.h"
#include "services/convertd/Options.h"
#include "services/convertd/Results.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora::convertd;

TEST(ConvertdFamily, TokensNameFamiliesWhateverTheirCase) {
    std::string coder;
    EXPECT_EQ(FamilyOf("pdf"), Family::Pdf);
    EXPECT_EQ(FamilyOf("PDF"), Family::Pdf);
    EXPECT_EQ(FamilyOf("docx"), Family::Office);
    EXPECT_EQ(FamilyOf("Xlsx"), Family::Office);
    EXPECT_EQ(FamilyOf("heic", &coder), Family::Picture);
    EXPECT_EQ(coder, "HEIC");
    EXPECT_EQ(FamilyOf("JPG", &coder), Family::Picture);
    EXPECT_EQ(coder, "JPEG");
    EXPECT_EQ(FamilyOf("pcx", &coder), Family::Picture);
    EXPECT_EQ(coder, "PCX");
    // Readers that run programs or scripts are never chosen, whatever the token says.
    EXPECT_EQ(FamilyOf("ps"), Family::Unknown);
    EXPECT_EQ(FamilyOf("svg"), Family::Unknown);
    EXPECT_EQ(FamilyOf("p df"), Family::Unknown);
    EXPECT_EQ(FamilyOf("jpg=JPEG"), Family::Unknown);
    EXPECT_EQ(FamilyOf("mvg"), Family::Unknown);
    EXPECT_EQ(FamilyOf("eps"), Family::Unknown);
}

TEST(ConvertdResults, NamesAreTheServicesOwn) {
    const std::string token = NewToken();
    EXPECT_EQ(token.size(), 32u);
    EXPECT_NE(token, NewToken());
    EXPECT_TRUE(IsResultName(token + "-001.png"));
    for (const std::string& bad :
         {token + "-01.png", token + "-001.PNG", token + "-001.png.x", "../" + token + "-001.png",
          token.substr(1) + "x-001.png", std::string(32, 'G') + "-001.png", std::string()}) {
        EXPECT_FALSE(IsResultName(bad)) << bad;
    }
}

TEST(ConvertdResults, PublishMovesPagesInOrderAndSweepRemovesOldOnes) {
    vtest::TempDir work, results;
    vtest::WriteFile(work / "a", "first");
    vtest::WriteFile(work / "b", "second");
    const auto names = PublishPages({work / "a", work / "b"}, results.path(), "0123abcd");
    ASSERT_EQ(names, (std::vector<std::string>{"0123abcd-001.png", "0123abcd-002.png"}));
    EXPECT_EQ(vtest::ReadFile(results / names[1]), "second");
    EXPECT_FALSE(vtest::Exists(work / "a"));
    EXPECT_EQ(RemoveOlderThan(results.path(), std::chrono::hours(1)), 0);
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(2);
    std::filesystem::last_write_time(results / names[0], old);
    EXPECT_EQ(RemoveOlderThan(results.path(), std::chrono::hours(1)), 1);
    EXPECT_EQ(vtest::ListDir(results.path()), std::vector<std::string>{names[1]});
    EXPECT_TRUE(PublishPages({work / "absent"}, results.path(), "ffff").empty());
}

TEST(ConvertdOptions, FoldersAreRequiredAndNumbersChecked) {
    Options o;
    EXPECT_FALSE(
        ParseOptions({"--results", "/r", "--work", "/w", "--port", "9", "--jobs", "3"}, o));
    EXPECT_EQ(o.port, 9);
    EXPECT_EQ(o.jobs, 3);
    EXPECT_EQ(o.listen, "127.0.0.1");
    EXPECT_EQ(o.timeLimitSeconds, 120);
    EXPECT_TRUE(ParseOptions({"--work", "/w"}, o));
    EXPECT_TRUE(ParseOptions({"--results", "/r"}, o));
    EXPECT_TRUE(ParseOptions({"--results", "/r", "--work", "/w", "--jobs", "0"}, o));
    EXPECT_TRUE(ParseOptions({"--results", "/r", "--work", "/w", "--max-upload", "-5"}, o));
    EXPECT_TRUE(ParseOptions({"--results", "/r", "--work", "/w", "--colour", "red"}, o));
    EXPECT_TRUE(ParseOptions({"--results", "/r", "--work"}, o));
}

}  // namespace
