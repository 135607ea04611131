// The body page: header lines, escaping, plain-text layout, trimming, charset fix-up, inline
// pictures and the page's name.
#include <gtest/gtest.h>

#include "main/core/BodyPage.h"
#include "main/core/JobCreation.h"
#include "main/core/MainTexts.h"
#include "tests/rules/TestMessage.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;
namespace mt = vellora::core::texts;

namespace {

int Count(const std::string& hay, const std::string& needle) {
    int n = 0;
    for (auto at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + 1)) ++n;
    return n;
}

class BodyPageTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"bodypage"};
    Options options;
    vtest::TestMessage msg;
    std::string Page() {
        const std::string path = dir / "page.html";
        BuildBodyPage(msg, path, options, dir.path());
        return vtest::ReadFile(path);
    }
    void SetUp() override {
        msg.subject = "Q3 <figures> & \"totals\"";
        msg.fromName = "Anna <Boss>";
        msg.fromAddress = "anna@example.org";
    }
};

TEST_F(BodyPageTest, PlainTextKeepsSpacesAndBreaksAndShowsMarkupLiterally) {
    msg.body = "a < b  and   c\r\nline two\nline three <script>x</script>";
    const std::string page = Page();
    const std::string space = mt::kPlainSpace;
    EXPECT_NE(page.find("a" + space + "&lt;" + space + "b" + space + space + "and" + space + space +
                        space + "c<br>\r\nline"),
              std::string::npos);
    EXPECT_NE(page.find("two<br>\r\nline"), std::string::npos);  // a lone LF breaks too
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;x&lt;/script&gt;"), std::string::npos);
}

TEST_F(BodyPageTest, HeaderValuesAreEscapedAndAnHtmlBodyStaysHtml) {
    msg.html = 1;
    msg.body = "<p>Hello <b>there</b></p>";
    const std::string page = Page();
    EXPECT_NE(page.find("<p>Hello <b>there</b></p>"), std::string::npos);
    EXPECT_NE(page.find("Q3 &lt;figures&gt; &amp; &quot;totals&quot;"), std::string::npos);
    EXPECT_NE(page.find("Anna &lt;Boss&gt; &lt;anna@example.org&gt;"), std::string::npos);
    EXPECT_EQ(page.find("<figures>"), std::string::npos);
    EXPECT_EQ(page.find("<Boss>"), std::string::npos);
    // Three pieces, each followed by CR LF.
    EXPECT_EQ(page.substr(page.size() - 2), "\r\n");
    EXPECT_NE(page.find(mt::kPageHeaderClose.str() + "\r\n<p>Hello"), std::string::npos);
    EXPECT_NE(page.find("</p>\r\n" + mt::kPageFooter.str() + "\r\n"), std::string::npos);
}

TEST_F(BodyPageTest, RecipientAndCopyLinesListEveryEntry) {
    msg.to = {{"Bob", "bob@x.org"}, {"Carl", "carl@x.org"}, {"Dora", "dora@x.org"}};
    msg.cc = {{"Eve", "eve@x.org"}, {"Finn", "finn@x.org"}};
    const std::string page = Page();
    EXPECT_NE(page.find(mt::kPageToLabel.str() +
                        "Bob &lt;bob@x.org&gt;\r\n<br>Carl &lt;carl@x.org&gt;"
                        "\r\n<br>Dora &lt;dora@x.org&gt;" +
                        mt::kPageLineEnd.str()),
              std::string::npos);
    EXPECT_NE(page.find(mt::kPageCcLabel.str() + "Eve &lt;eve@x.org&gt;\r\n<br>Finn"),
              std::string::npos);
    msg.to.clear();
    msg.cc.clear();
    const std::string bare = Page();
    EXPECT_EQ(bare.find(mt::kPageToLabel.str()), std::string::npos);
    EXPECT_EQ(bare.find(mt::kPageCcLabel.str()), std::string::npos);
    EXPECT_NE(bare.find(mt::kPageSubjectLabel.str()), std::string::npos);
}

TEST_F(BodyPageTest, TrimmingCutsAtTheFirstOfTwoMarkers) {
    msg.body = "my note\r\n-----Forwarded-----\r\nfirst part\r\n-----Forwarded-----\r\nsecond";
    options.fwdHeader = "-----Forwarded-----";
    EXPECT_NE(Page().find("my"), std::string::npos);  // trimming off
    options.trimToFwdHeader = true;
    const std::string page = Page();
    EXPECT_EQ(page.find("my" + mt::kPlainSpace.str() + "note"), std::string::npos);
    EXPECT_NE(page.find("first" + mt::kPlainSpace.str() + "part"), std::string::npos);
    EXPECT_EQ(Count(page, "-----Forwarded-----"), 1);
    options.fwdHeader = "-----forwarded-----";  // case-sensitive: no cut
    EXPECT_NE(Page().find("my" + mt::kPlainSpace.str() + "note"), std::string::npos);
}

TEST_F(BodyPageTest, CharsetFixMapsTheTwentyFourWindowsCharacters) {
    std::string body;
    std::vector<int> bytes;
    for (int b = 0x80; b <= 0x9F; ++b) bytes.push_back(b);
    for (int b : bytes) {
        body += static_cast<char>(0xC2);
        body += static_cast<char>(b);
    }
    EXPECT_EQ(FixWindows1252("\xC2\x80\xC2\x81\xC2\x8D\xC2\x8E\xC2\x8F\xC2\x90\xC2\x9D\xC2\x9E"),
              "\xC2\x80\xC2\x81\xC2\x8D\xC2\x8E\xC2\x8F\xC2\x90\xC2\x9D\xC2\x9E");  // untouched
    const std::string fixed = FixWindows1252(body);
    EXPECT_NE(fixed.find("\xE2\x80\x9A\xC6\x92\xE2\x80\x9E\xE2\x80\xA6"),
              std::string::npos);                          // ‚ƒ„…
    EXPECT_NE(fixed.find("\xC5\x92"), std::string::npos);  // Œ (0x8C)
    EXPECT_NE(fixed.find("\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C\xE2\x80\x9D"), std::string::npos);
    EXPECT_NE(fixed.find("\xE2\x84\xA2\xC5\xA1\xE2\x80\xBA\xC5\x93"), std::string::npos);  // ™š›œ
    EXPECT_EQ(fixed.substr(fixed.size() - 2), "\xC5\xB8");  // Ÿ (0x9F) last
    int untouched = 0;
    for (std::size_t i = 0; i + 1 < fixed.size(); ++i)
        if (static_cast<unsigned char>(fixed[i]) == 0xC2 &&
            static_cast<unsigned char>(fixed[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(fixed[i + 1]) <= 0x9F)
            ++untouched;
    EXPECT_EQ(untouched, 32 - 24);

    msg.body = "\xC2\x93quoted\xC2\x94";
    msg.charset = "windows-1252";
    EXPECT_NE(Page().find("\xC2\x93quoted"), std::string::npos);
    msg.charset = "ISO-8859-1";
    EXPECT_NE(Page().find("\xE2\x80\x9Cquoted\xE2\x80\x9D"), std::string::npos);
}

TEST_F(BodyPageTest, LogoFromTheProgramFolderTravelsInThePage) {
    EXPECT_EQ(Page().find(mt::kLogoDataPrefix.str()), std::string::npos);
    vtest::WriteFile(dir / mt::kLogoFileName.str(), "<svg/>");
    EXPECT_NE(Page().find(mt::kLogoDataPrefix.str() + "PHN2Zy8+"), std::string::npos);
}

TEST_F(BodyPageTest, InlinePicturesAreSavedBesideThePageAndReferencesRewritten) {
    msg.html = 1;
    msg.body = "<img src=\"cid:logo1\"><img src='cid:logo10'><img src=\"cid:other\">";
    msg.inlineParts = {{"logo1", "../../evil name.png", "image/png"},
                       {"logo10", "b.gif", "image/gif"}};
    msg.inlineContent = {"PNGDATA", "GIFDATA"};
    const std::string page = Page();
    EXPECT_NE(page.find("src=\"page_cid1__.._evil_name.png\""), std::string::npos) << page;
    EXPECT_NE(page.find("src='page_cid2_b.gif'"), std::string::npos);
    EXPECT_NE(page.find("cid:other"), std::string::npos);
    EXPECT_EQ(vtest::ReadFile(dir / "page_cid1__.._evil_name.png"), "PNGDATA");
    EXPECT_EQ(vtest::ReadFile(dir / "page_cid2_b.gif"), "GIFDATA");
}

TEST(BodyPageName, AccountAndMessageIdKeepPagesApart) {
    EXPECT_NE(BodyPagePath("/t", 1, "17"), BodyPagePath("/t", 2, "17"));
    EXPECT_EQ(BodyPagePath("/t", 3, "17"), "/t/a3_17.html");
    EXPECT_EQ(BodyPagePath("/t", 3, "../x"), "/t/a3____x.html");
}

}  // namespace
