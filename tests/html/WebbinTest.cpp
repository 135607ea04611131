// Webbin against the real engine and a private CUPS: what it prints, and what a hostile
// page cannot make it do (scripts, remote requests, files outside its folder, a second page).
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <regex>

#include "platform/html/HtmlToPdf.h"
#include "tests/html/CountingServer.h"
#include "tests/office/HelperRunner.h"
#include "tests/office/OfficeTestDocs.h"
#include "tests/support/Cups.h"
#include "tests/support/Pdf.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using vtest::helpers::HelperRunner;

constexpr const char* kPrinter = "Office";

class Webbin : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        cups_ = new vtest::Cups;
        cups_->AddPrinter(kPrinter);
        cups_->SetServerDefault(kPrinter);
    }
    static void TearDownTestSuite() {
        delete cups_;
        cups_ = nullptr;
    }

    void SetUp() override { runner_.SetBaseEnv({{"TMPDIR", tmp_.path()}}); }
    void TearDown() override {
        // The engine's own processes end with webbin (they carry its installation folder).
        EXPECT_TRUE(vtest::WaitFor(
            [&] { return vtest::office::ProcessesMentioning(runner_.Install()).empty(); }, 5s));
        // (Qt keeps its runtime folder there when the session has none: not the run's.)
        for (const auto& name : vtest::ListDir(tmp_.path())) {
            if (name.rfind("runtime-", 0) != 0) ADD_FAILURE() << "left behind: " << name;
        }
    }

    // Writes a page into the page folder (the role of the program's temporary folder).
    std::string Page(const std::string& name, const std::string& html) {
        const std::string path = pages_ / name;
        vtest::WriteFile(path, html);
        return path;
    }
    // Runs webbin on the page (no pause after printing) and returns the printed PDF, or "".
    std::string PrintAndFetch(const std::string& page,
                              vtest::helpers::HelperResult* out = nullptr) {
        const auto before = cups_->PrintedFiles(kPrinter).size();
        const auto result = runner_.RunOn(page, {{"VELLORA_WEBBIN_PRINT_WAIT", "0"}});
        if (out != nullptr) *out = result;
        EXPECT_EQ(result.exitCode, 0) << result.record;
        EXPECT_EQ(result.record, HelperRunner::Status().done);
        if (!cups_->WaitForPrinted(kPrinter, before + 1, 20s)) return {};
        return cups_->PrintedFiles(kPrinter).back();
    }

    static vtest::Cups* cups_;
    vtest::TempDir pages_{"webbin-pages"};
    vtest::TempDir tmp_{"webbin-tmp"};
    HelperRunner runner_{*cups_, "webbin"};
};
vtest::Cups* Webbin::cups_ = nullptr;

TEST_F(Webbin, PlainTextBodyKeepsItsSpacesAndLineBreaks) {
    const std::string page = Page("body.html",
                                  "<html><head><meta charset=\"utf-8\"></head><body>"
                                  "<div style=\"white-space: pre-wrap; font-family: monospace\">"
                                  "First line\n    indented by four\nA    B    C\n\nafter a gap"
                                  "</div></body></html>");
    const std::string pdf = PrintAndFetch(page);
    ASSERT_FALSE(pdf.empty());
    const std::string text = vtest::PdfText(pdf);
    // The line breaks as written (an empty line included), the indent and the runs of blanks
    // (pdftotext places words by position, so a run may come back a blank longer).
    const std::regex layout("First line\n {4}indented by four\nA {4,5}B {4,5}C\n\nafter a gap");
    EXPECT_TRUE(std::regex_search(text, layout)) << text;
}

TEST_F(Webbin, MarketingPageWithTablesCssAndLocalImagePrints) {
    QImage red(300, 300, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    // An inline picture of the page, named as the main program names them.
    ASSERT_TRUE(red.save(QString::fromStdString(pages_ / "offer_cid1_banner.png")));
    const std::string page =
        Page("offer.html",
             "<html><body style=\"margin:0;font-family:sans-serif\">"
             "<img src=\"offer_cid1_banner.png\" style=\"display:block;width:300px;height:300px\">"
             "<table style=\"border-collapse:collapse;width:100%\"><tr>"
             "<td style=\"background:#eef;padding:8px\">SPRINGSALE</td>"
             "<td style=\"color:#060;font-weight:bold\">FORTYOFF</td></tr></table></body></html>");
    const std::string pdf = PrintAndFetch(page);
    ASSERT_FALSE(pdf.empty());
    const std::string text = vtest::PdfText(pdf);
    EXPECT_NE(text.find("SPRINGSALE"), std::string::npos) << text;
    EXPECT_NE(text.find("FORTYOFF"), std::string::npos) << text;
    // The image sits in the top left corner inside the 1 cm margin: 300 CSS px are 3.125 in.
    const std::string png = vtest::PdfPageToPng(pdf, 1, pages_ / "page", 20);
    const QImage shot(QString::fromStdString(png));
    ASSERT_FALSE(shot.isNull());
    const QColor middle = shot.pixelColor(8 + 31, 8 + 31);
    EXPECT_GT(middle.red(), 200);
    EXPECT_LT(middle.green(), 60);
    EXPECT_LT(middle.blue(), 60);
    const QColor below = shot.pixelColor(8 + 31, 8 + 90);  // under the image: no red
    EXPECT_LT(below.red() - below.green(), 50);
}

TEST_F(Webbin, RemoteImageStylesheetAndFrameMakeNoRequest) {
    vtest::html::CountingServer server;
    {  // the server counts: one connection of our own
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(server.port()));
        ASSERT_EQ(::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        ::close(s);
        ASSERT_TRUE(vtest::WaitFor([&] { return server.connections() == 1; }, 2s));
        server.Reset();
    }
    const std::string page = Page(
        "remote.html",
        "<html><head><link rel=\"stylesheet\" href=\"" + server.Url("/style.css") +
            "\"><link rel=\"preconnect\" href=\"" + server.Url("/") + "\"><style>@import url(\"" +
            server.Url("/more.css") + "\"); body{background:url(\"" + server.Url("/bg.png") +
            "\")}</style></head><body>LOCALTEXT<img src=\"" + server.Url("/pixel.png") +
            "\"><iframe src=\"" + server.Url("/frame.html") + "\"></iframe></body></html>");
    const std::string pdf = PrintAndFetch(page);
    EXPECT_EQ(server.connections(), 0);
    ASSERT_FALSE(pdf.empty());
    const std::string text = vtest::PdfText(pdf);
    EXPECT_NE(text.find("LOCALTEXT"), std::string::npos);
    EXPECT_EQ(text.find("REMOTEMARKER"), std::string::npos);
}

TEST_F(Webbin, ScriptDoesNotRun) {
    const std::string page = Page(
        "script.html",
        "<html><body>BEFORESCRIPT<script>document.write('SCRIPTMARKER');"
        "document.body.insertAdjacentText('beforeend','SECONDMARKER')</script>"
        "<img src=\"none.png\" onerror=\"document.body.append('HANDLERMARKER')\"></body></html>");
    const std::string pdf = PrintAndFetch(page);
    ASSERT_FALSE(pdf.empty());
    const std::string text = vtest::PdfText(pdf);
    EXPECT_NE(text.find("BEFORESCRIPT"), std::string::npos) << text;
    EXPECT_EQ(text.find("SCRIPTMARKER"), std::string::npos) << text;
    EXPECT_EQ(text.find("SECONDMARKER"), std::string::npos) << text;
    EXPECT_EQ(text.find("HANDLERMARKER"), std::string::npos) << text;
}

TEST_F(Webbin, FilesOutsideThePageFolderAreNotPrinted) {
    vtest::TempDir outside("webbin-outside");
    vtest::WriteFile(outside / "secret.html", "<html><body>SECRETMARKER</body></html>");
    vtest::WriteFile(outside / "secret.txt", "SECRETTEXT");
    fs::create_symlink(outside / "secret.html", pages_ / "link.html");
    Page("inside.html", "<html><body>INSIDEFRAME</body></html>");
    const std::string page =
        Page("files.html",
             "<html><body>OWNTEXT<iframe src=\"file:///etc/passwd\"></iframe>"
             "<iframe src=\"file://" +
                 outside / "secret.html" +
                 "\"></iframe>"
                 "<iframe src=\"link.html\"></iframe>"
                 "<object data=\"file://" +
                 outside / "secret.txt" +
                 "\"></object>"
                 "<embed src=\"../" +
                 fs::path(outside.path()).filename().string() + "/secret.txt\"></body></html>");
    const std::string pdf = PrintAndFetch(page);
    ASSERT_FALSE(pdf.empty());
    const std::string text = vtest::PdfText(pdf);
    EXPECT_NE(text.find("OWNTEXT"), std::string::npos) << text;
    EXPECT_EQ(text.find("root:"), std::string::npos) << text;
    EXPECT_EQ(text.find("SECRETMARKER"), std::string::npos) << text;
    EXPECT_EQ(text.find("SECRETTEXT"), std::string::npos) << text;
}

TEST_F(Webbin, MetaRefreshDoesNotReplaceThePage) {
    Page("other.html", "<html><body>OTHERPAGE</body></html>");
    const std::string page =
        Page("refresh.html",
             "<html><head><meta http-equiv=\"refresh\" content=\"0; url=other.html\">"
             "</head><body>FIRSTPAGE</body></html>");
    const std::string pdf = PrintAndFetch(page);
    ASSERT_FALSE(pdf.empty());
    const std::string text = vtest::PdfText(pdf);
    EXPECT_NE(text.find("FIRSTPAGE"), std::string::npos) << text;
    EXPECT_EQ(text.find("OTHERPAGE"), std::string::npos) << text;
}

TEST_F(Webbin, PageNotLoadedInTimeGivesNotReadyAndPrintsNothing) {
    const std::string page = Page("slow.html", "<html><body>NEVERPRINTED</body></html>");
    const auto before = cups_->PrintedFiles(kPrinter).size();
    // The load wait ends before the engine can have finished any page.
    const auto result = runner_.RunOn(page, {{"VELLORA_WEBBIN_LOAD_WAIT", "0"}});
    EXPECT_EQ(result.exitCode, 1);
    const auto& status = HelperRunner::Status();
    ASSERT_TRUE(modJob::HasStatus(result.record, status.failed)) << result.record;
    EXPECT_NE(result.record.find("not completely loaded"), std::string::npos) << result.record;
    EXPECT_NE(runner_.Log().find("not completely loaded"), std::string::npos);
    EXPECT_FALSE(cups_->WaitForPrinted(kPrinter, before + 1, 2s));
}

TEST_F(Webbin, MissingPageGivesTheGeneralErrorWithItsReason) {
    const auto result = runner_.RunOn(pages_ / "gone.html");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(modJob::HasStatus(result.record, HelperRunner::Status().failed));
    EXPECT_NE(result.record.find("could not be printed: the page does not exist"),
              std::string::npos)
        << result.record;
}

TEST_F(Webbin, WaitsAfterPrintingBeforeItReportsDone) {
    const std::string page = Page("wait.html", "<html><body>WAITED</body></html>");
    const auto quick = runner_.RunOn(page, {{"VELLORA_WEBBIN_PRINT_WAIT", "0"}});
    const auto slow = runner_.RunOn(page, {{"VELLORA_WEBBIN_PRINT_WAIT", "3"}});
    EXPECT_EQ(slow.record, HelperRunner::Status().done);
    EXPECT_GE(slow.took, 3s);
    EXPECT_GE(slow.took - quick.took, 2000ms);
}

}  // namespace

namespace {

// Qt must not take the job's argument text for options of its own (-reverse is one).
TEST_F(Webbin, ArgumentTextThatLooksLikeAQtOptionStaysTheJobs) {
    const auto result = runner_.Run("-reverse", "-reverse");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(modJob::HasStatus(result.record, HelperRunner::Status().failed)) << result.record;
    EXPECT_NE(result.record.find("could not be printed: "), std::string::npos) << result.record;
}

}  // namespace

namespace {

// A run that goes on past its limit (here: inside a long pause after printing) is ended by
// the watchdog with a failure record, and nothing overwrites that record afterwards.
TEST_F(Webbin, WatchdogEndsARunThatGoesOnTooLong) {
    const std::string page = Page("long.html", "<html><body>LONGRUN</body></html>");
    const auto result = runner_.RunOn(
        page, {{"VELLORA_WEBBIN_PRINT_WAIT", "60"}, {"VELLORA_WEBBIN_WATCHDOG", "3"}});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_LT(result.took, 20s);
    EXPECT_TRUE(modJob::HasStatus(result.record, HelperRunner::Status().failed)) << result.record;
    EXPECT_NE(result.record.find("the HTML engine stopped responding"), std::string::npos)
        << result.record;
    EXPECT_NE(runner_.Log().find("the HTML engine stopped responding"), std::string::npos);
}

// Body pages wait side by side in the shared temporary folder under names anyone can guess.
// A page gets its own inline pictures and nothing else: not another mail's page (in a frame,
// an object or as a style sheet), not another mail's picture.
TEST_F(Webbin, PageGetsNothingOfAnotherPendingBodyPage) {
    QImage blue(200, 200, QImage::Format_RGB32);
    blue.fill(QColor(0, 0, 255));
    ASSERT_TRUE(blue.save(QString::fromStdString(pages_ / "a1_13_cid1_photo.png")));
    Page("a1_13.html",
         "<html><body>OTHERMAILMARKER<img src=\"a1_13_cid1_photo.png\"></body></html>");
    QImage green(200, 200, QImage::Format_RGB32);
    green.fill(QColor(0, 160, 0));
    ASSERT_TRUE(green.save(QString::fromStdString(pages_ / "a1_12_cid1_logo.png")));
    const std::string page =
        Page("a1_12.html",
             "<html><head><link rel=\"stylesheet\" href=\"a1_13.html\"></head>"
             "<body style=\"margin:0\"><img src=\"a1_12_cid1_logo.png\" "
             "style=\"display:block;width:200px;height:200px\">OWNMARKER"
             "<iframe src=\"a1_13.html\"></iframe>"
             "<img src=\"a1_13_cid1_photo.png\" style=\"width:200px;height:200px\">"
             "<iframe src=\"file://" +
                 pages_ / "a1_13.html" + "\"></iframe></body></html>");
    const std::string pdf = PrintAndFetch(page);
    ASSERT_FALSE(pdf.empty());
    const std::string text = vtest::PdfText(pdf);
    EXPECT_NE(text.find("OWNMARKER"), std::string::npos) << text;
    EXPECT_EQ(text.find("OTHERMAILMARKER"), std::string::npos) << text;
    const QImage shot(QString::fromStdString(vtest::PdfPageToPng(pdf, 1, pages_ / "shot", 20)));
    ASSERT_FALSE(shot.isNull());
    int own = 0, other = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.green() > 120 && c.red() < 60 && c.blue() < 60) ++own;
            if (c.blue() > 200 && c.red() < 60 && c.green() < 60) ++other;
        }
    EXPECT_GT(own, 100) << "the page's own picture prints";
    EXPECT_EQ(other, 0) << "another mail's picture does not";
}

TEST(EngineFlags, TheSandboxStaysOnUnlessRoot) {
    const std::string inherited = "--disable-gpu --no-sandbox --single-process --lang=de";
    const std::string user = vellora::html::EngineFlags(inherited, false);
    EXPECT_EQ(user.find("--no-sandbox"), std::string::npos) << user;
    EXPECT_EQ(user.find("--single-process"), std::string::npos) << user;
    EXPECT_NE(user.find("--lang=de"), std::string::npos) << user;
    EXPECT_NE(user.find("--dns-prefetch-disable"), std::string::npos) << user;
    const std::string root = vellora::html::EngineFlags(inherited, true);
    EXPECT_NE(root.find("--no-sandbox"), std::string::npos) << root;
}

}  // namespace
