// The built pictor and picconv against a private cupsd: what reaches the printer and what
// the job store and the log say.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "helpers/pictor/PictorTexts.h"
#include "shared/modJob.h"
#include "tests/helpers/HelperRunner.h"
#include "tests/support/CupsEnvironment.h"
#include "tests/support/Pdf.h"

namespace {
using namespace std::chrono_literals;

vtest::Cups* gCups = nullptr;

const auto* const kEnv =
    ::testing::AddGlobalTestEnvironment(new vtest::CupsEnvironment(gCups, [](vtest::Cups& c) {
        c.AddPrinter("Paper");
        c.AddPrinter("LetterPaper", "Letter");
        c.AddPrinter("Refuser");
        c.RejectJobs("Refuser");
    }));

class Pictor : public ::testing::Test {
  protected:
    void SetUp() override {
        install = std::make_unique<vtest::HelperInstall>(*gCups);
        install->Install("picconv");
        install->SetDefaultPrinter("Paper");
        before = gCups->PrintedFiles("Paper").size();
    }
    // Runs pictor on a picture; the argument text as the dispatcher builds it.
    int Print(const std::string& id, const std::string& path, const std::string& token,
              const std::map<std::string, std::string>& env = {}) {
        return install->Run("pictor", id + "@\"" + path + "\" " + token, env);
    }
    std::string NewPrint() {
        EXPECT_TRUE(gCups->WaitForPrinted("Paper", before + 1));
        const auto files = gCups->PrintedFiles("Paper");
        return files.size() > before ? files.back() : std::string();
    }
    std::string Picture(const std::string& name, const std::vector<std::string>& args) {
        std::vector<std::string> a = args;
        a.push_back(*install / name);
        vtest::MakePicture(a);
        return *install / name;
    }
    modJob::StatusTexts St() { return modJob::Status(); }

    std::unique_ptr<vtest::HelperInstall> install;
    std::size_t before = 0;
};

TEST_F(Pictor, JpegAndPngPrintOnePageEachAndReportDone) {
    const std::string jpg = Picture("a.jpg", {"-size", "300x200", "xc:red"});
    EXPECT_EQ(Print("101", jpg, "jpg"), 0);
    EXPECT_EQ(install->Record("101"), St().done);
    auto info = vtest::ReadPdfInfo(NewPrint());
    EXPECT_EQ(info.pages, 1);
    EXPECT_NEAR(info.width, 595, 1);

    before = gCups->PrintedFiles("Paper").size();
    const std::string png = Picture("b c.png", {"-size", "200x300", "xc:blue"});
    EXPECT_EQ(Print("102", png, "png"), 0);
    EXPECT_EQ(install->Record("102"), St().done);
    info = vtest::ReadPdfInfo(NewPrint());
    EXPECT_EQ(info.pages, 1);
    EXPECT_TRUE(install->Log().empty());
}

TEST_F(Pictor, WidePictureLandscapeSquarePortraitAtOwnSize) {
    // 300 x 200 pixels at 1/96 inch: 3.125 x 2.083 inches, turned with the page, so on the
    // upright sheet it stands 2.083 wide and 3.125 tall.
    const std::string wide = Picture("wide.png", {"-size", "300x200", "xc:black"});
    ASSERT_EQ(Print("103", wide, "png"), 0);
    QImage page = vtest::PageImage(NewPrint(), 1);
    QRect ink = vtest::InkBox(page);
    EXPECT_NEAR(ink.width(), 2.083 * 36, 3);
    EXPECT_NEAR(ink.height(), 3.125 * 36, 3);

    before = gCups->PrintedFiles("Paper").size();
    const std::string square = Picture("square.png", {"-size", "240x240", "xc:black"});
    ASSERT_EQ(Print("104", square, "png"), 0);
    page = vtest::PageImage(NewPrint(), 1);
    ink = vtest::InkBox(page);
    EXPECT_NEAR(ink.width(), 2.5 * 36, 3);
    EXPECT_NEAR(ink.height(), 2.5 * 36, 3);
    EXPECT_LE(ink.left(), 1);  // painted at the page's top left corner
    EXPECT_LE(ink.top(), 1);
}

TEST_F(Pictor, LargePhotoIsScaledOntoThePage) {
    const std::string photo = Picture("big.jpg", {"-size", "2000x1500", "xc:black"});
    ASSERT_EQ(Print("105", photo, "jpg"), 0);
    const QImage page = vtest::PageImage(NewPrint(), 1);
    const QRect ink = vtest::InkBox(page);
    // Landscape A4 turned upright: the 4:3 photo fills the short side, within the sheet.
    EXPECT_NEAR(ink.width(), page.width(), 3);
    EXPECT_NEAR(static_cast<double>(ink.height()) / ink.width(), 4.0 / 3.0, 0.03);
    EXPECT_LE(ink.height(), page.height());
}

TEST_F(Pictor, ExifOrientationIsHonoured) {
    // Stored 300 x 200, left half red, right half blue, tagged "turn 90 degrees clockwise":
    // it shows 200 wide and 300 tall with red on top.
    const std::string raw = Picture(
        "raw.jpg", {"-size", "150x200", "xc:red", "-size", "150x200", "xc:blue", "+append"});
    const std::string turned = *install / "turned.jpg";
    vtest::WriteFile(turned, vtest::WithExifOrientation(vtest::ReadFile(raw), 6));
    ASSERT_EQ(Print("106", turned, "jpg"), 0);
    const QImage page = vtest::PageImage(NewPrint(), 1);
    const QRect ink = vtest::InkBox(page);
    EXPECT_NEAR(ink.width(), 2.083 * 36, 3);  // portrait, at its own size
    EXPECT_NEAR(ink.height(), 3.125 * 36, 3);
    const QColor top = page.pixelColor(ink.center().x(), ink.top() + ink.height() / 4);
    const QColor bottom = page.pixelColor(ink.center().x(), ink.bottom() - ink.height() / 4);
    EXPECT_GT(top.red(), 150);
    EXPECT_LT(top.blue(), 100);
    EXPECT_GT(bottom.blue(), 150);
    EXPECT_LT(bottom.red(), 100);
}

TEST_F(Pictor, PrintsOnTheDefaultPrintersPaper) {
    install->SetDefaultPrinter("LetterPaper");
    const std::size_t letters = gCups->PrintedFiles("LetterPaper").size();
    const std::string jpg = Picture("l.jpg", {"-size", "100x100", "xc:red"});
    ASSERT_EQ(Print("107", jpg, "jpg"), 0);
    ASSERT_TRUE(gCups->WaitForPrinted("LetterPaper", letters + 1));
    const auto info = vtest::ReadPdfInfo(gCups->PrintedFiles("LetterPaper").back());
    EXPECT_NEAR(info.width, 612, 1);
    EXPECT_NEAR(info.height, 792, 1);
}

TEST_F(Pictor, ConverterRouteReplacesTheTokenInAnyCaseAlsoInFolders) {
    std::filesystem::create_directories(*install / "HEIC shots");
    const std::string heic = Picture("HEIC shots/photo.Heic", {"-size", "64x48", "xc:green"});
    ASSERT_EQ(Print("110", heic, "heic"), 0);
    EXPECT_EQ(install->Record("110"), St().done);
    EXPECT_TRUE(vtest::Exists(*install / "png shots/photo.png"));
    EXPECT_EQ(vtest::ReadPdfInfo(NewPrint()).pages, 1);
}

TEST_F(Pictor, ConverterThatMakesNothingGivesTheConvertedFileError) {
    // A converter that does nothing; the ten seconds pass twenty times as fast.
    vtest::WriteFile(*install / "picconv.tmp", "#!/bin/sh\nexit 0\n");
    std::filesystem::permissions(*install / "picconv.tmp", std::filesystem::perms::owner_all);
    std::filesystem::remove(*install / "picconv");
    std::filesystem::rename(*install / "picconv.tmp", *install / "picconv");
    const std::string heic = Picture("none.heic", {"-size", "16x16", "xc:green"});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Print("111", heic, "heic", {{"VELLORA_WAIT_SCALE", "0.05"}}), 1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 450ms);  // 10 s, scaled
    const std::string error = pictor::texts::kConvertedFileError.str();
    EXPECT_EQ(install->Record("111"), error);
    EXPECT_NE(install->Log().find(error), std::string::npos);
    EXPECT_EQ(gCups->PrintedFiles("Paper").size(), before);
}

TEST_F(Pictor, TokenDifferingInCaseGoesToTheConversionService) {
    const std::string jpg = Picture("c.jpg", {"-size", "10x10", "xc:red"});
    EXPECT_EQ(Print("112", jpg, "JPG"), 1);
    EXPECT_EQ(install->Record("112").rfind(pictor::texts::kError.str(), 0), 0u);
    EXPECT_EQ(Print("113", jpg, "Heic"), 1);
    EXPECT_EQ(install->Record("113").rfind(pictor::texts::kError.str(), 0), 0u);
    EXPECT_EQ(gCups->PrintedFiles("Paper").size(), before);
}

TEST_F(Pictor, UnreadablePictureAndRefusedJobFailWithTheirDescription) {
    vtest::WriteFile(*install / "bad.jpg", "this is not a picture");
    EXPECT_EQ(Print("114", *install / "bad.jpg", "jpg"), 1);
    const std::string error = pictor::texts::kError.str();
    const std::string record = install->Record("114");
    ASSERT_EQ(record.rfind(error, 0), 0u);
    const std::string description = record.substr(error.size());
    EXPECT_FALSE(description.empty());
    // The log names the step: error text, 20, " - ", description.
    EXPECT_NE(install->Log().find(error + "20 - " + description), std::string::npos);

    install->SetDefaultPrinter("Refuser");
    const std::string jpg = Picture("r.jpg", {"-size", "10x10", "xc:red"});
    EXPECT_EQ(Print("115", jpg, "jpg"), 1);
    EXPECT_EQ(install->Record("115").rfind(error, 0), 0u);
    EXPECT_NE(install->Record("115"), error);
}

}  // namespace

namespace {

TEST_F(Pictor, LineWithoutSeparatorIsRecordedUnderTheWholeTextAndKeepsTheFileSound) {
    EXPECT_EQ(install->Run("pictor", "103"), 1);  // a job that is still waiting
    const std::string first = install->Record("103");
    EXPECT_EQ(first.rfind(pictor::texts::kError.str(), 0), 0u);

    const std::string whole = "stray text\" jpg";
    EXPECT_EQ(install->Run("pictor", whole), 1);
    EXPECT_EQ(install->Record("stray text").rfind(pictor::texts::kError.str(), 0), 0u);
    // A key the settings file cannot hold is not written at all; the rest still reads.
    EXPECT_EQ(install->Run("pictor", "a=b\n[x]"), 1);
    EXPECT_EQ(install->Record("103"), first);
    EXPECT_EQ(vtest::ReadFile(*install / "vellora.ini").find("[x]"), std::string::npos);
}

TEST_F(Pictor, PictureConverterWritesTheDerivedNameOnlyWhenItSucceeds) {
    const std::string heic = Picture("c.HEIC", {"-size", "30x20", "xc:green"});
    std::string out;
    EXPECT_EQ(vtest::Run({vtest::BinDir() + "/picconv", "\"" + heic + "\""}, &out), 0);
    EXPECT_EQ(vtest::ReadFile(*install / "c.png").substr(1, 3), "PNG");

    vtest::WriteFile(*install / "junk.heic", "not a picture");
    EXPECT_NE(vtest::Run({vtest::BinDir() + "/picconv", "\"" + *install / "junk.heic\""}), 0);
    EXPECT_FALSE(vtest::Exists(*install / "junk.png"));
    for (const auto& name : vtest::ListDir(install->Folder()))
        EXPECT_EQ(name.find(".part"), std::string::npos) << name;
    // A path without the converter type would be written over itself: refused.
    const std::string jpg = Picture("keep.jpg", {"-size", "5x5", "xc:red"});
    const std::string before = vtest::ReadFile(jpg);
    EXPECT_NE(vtest::Run({vtest::BinDir() + "/picconv", "\"" + jpg + "\""}), 0);
    EXPECT_EQ(vtest::ReadFile(jpg), before);
}

// The converter names its reader: a file named .heic is read as HEIC or not at all, so an
// SVG (or any script-like format) under that name never reaches another reader.
TEST_F(Pictor, PictureConverterReadsHeicOnly) {
    const std::string svg = *install / "drawing.heic";
    vtest::WriteFile(svg,
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"30\">"
                     "<rect width=\"40\" height=\"30\" fill=\"red\"/></svg>");
    EXPECT_NE(vtest::Run({vtest::BinDir() + "/picconv", "\"" + svg + "\""}), 0);
    EXPECT_FALSE(vtest::Exists(*install / "drawing.png"));
    EXPECT_EQ(Print("112", svg, "heic", {{"VELLORA_WAIT_SCALE", "0.05"}}), 1);
    EXPECT_EQ(install->Record("112"), "ERROR Pictor: the picture converter produced no picture");
    for (const auto& name : vtest::ListDir(install->Folder()))
        EXPECT_EQ(name.find(".picconv"), std::string::npos) << "its run folder is gone: " << name;
}

}  // namespace
