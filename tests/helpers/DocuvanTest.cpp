// The built docuvan against a private cupsd.
#include <gtest/gtest.h>

#include "helpers/docuvan/DocuvanTexts.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modJob.h"
#include "tests/helpers/HelperRunner.h"
#include "tests/support/CupsEnvironment.h"
#include "tests/support/Pdf.h"

namespace {

vtest::Cups* gCups = nullptr;

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(
    new vtest::CupsEnvironment(gCups, [](vtest::Cups& c) { c.AddPrinter("Paper"); }));

class Docuvan : public ::testing::Test {
  protected:
    void SetUp() override {
        install = std::make_unique<vtest::HelperInstall>(*gCups);
        install->SetDefaultPrinter("Paper");
        before = gCups->PrintedFiles("Paper").size();
    }
    int Print(const std::string& id, const std::string& path) {
        return install->Run("docuvan", id + "@\"" + path + "\"");
    }
    void SetViewerOption(int value) {
        vellora::SetAppFolderForTesting(install->Folder());
        basINI_IO::WriteSettingNumber(value, basINI_IO::SettingsPath(),
                                      vellora::texts::kGeneralSection.str(),
                                      vellora::texts::kKeyUseViewer.str());
        vellora::SetAppFolderForTesting("");
    }
    // The job went to the service route (which cannot be reached here) and nothing else
    // was logged or recorded.
    void ExpectServiceRouteOnly(const std::string& id) {
        const std::string error = docuvan::texts::kError.str();
        const std::string record = install->Record(id);
        EXPECT_EQ(record.rfind(error, 0), 0u) << record;
        const std::string log = install->Log();
        std::size_t entries = 0;
        for (auto at = log.find(error); at != std::string::npos; at = log.find(error, at + 1))
            ++entries;
        EXPECT_EQ(entries, 1u) << log;
        // Log and record share the upload failure's text; the record ends in libcurl's number,
        // the log in its description.
        EXPECT_NE(log.find(record.substr(0, record.rfind(' '))), std::string::npos) << log;
        EXPECT_EQ(gCups->PrintedFiles("Paper").size(), before);
    }
    std::unique_ptr<vtest::HelperInstall> install;
    std::size_t before = 0;
};

TEST_F(Docuvan, ThreePagePdfPrintsThreePagesShrunkToThePaper) {
    const std::string pdf = *install / "three pages.pdf";
    vtest::WriteFile(pdf, vtest::MakePdf({"FIRSTPAGE", "SECONDPAGE", "THIRDPAGE"}, 612, 1008));
    EXPECT_EQ(Print("201", pdf), 0);
    EXPECT_EQ(install->Record("201"), modJob::Status().done);
    ASSERT_TRUE(gCups->WaitForPrinted("Paper", before + 1));
    const std::string printed = gCups->PrintedFiles("Paper").back();
    const auto info = vtest::ReadPdfInfo(printed);
    EXPECT_EQ(info.pages, 3);
    EXPECT_NEAR(info.width, 595, 1);
    EXPECT_NEAR(info.height, 842, 1);
    const std::string text = vtest::PdfText(printed);
    for (const char* marker : {"FIRSTPAGE", "SECONDPAGE", "THIRDPAGE"})
        EXPECT_NE(text.find(marker), std::string::npos) << marker;
    EXPECT_TRUE(install->Log().empty());
}

TEST_F(Docuvan, CorruptPdfFallsThroughToTheService) {
    const std::string pdf = *install / "broken.pdf";
    vtest::WriteFile(pdf, "%PDF-1.4\nthis is no document\n");
    EXPECT_EQ(Print("202", pdf), 1);
    ExpectServiceRouteOnly("202");
}

TEST_F(Docuvan, LockedPdfFallsThroughToTheService) {
    const std::string plain = *install / "plain.pdf";
    const std::string locked = *install / "locked.pdf";
    vtest::WriteFile(plain, vtest::MakePdf({"SECRET"}));
    std::string out;
    ASSERT_EQ(vtest::Run({"/usr/bin/gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER",
                          "-sDEVICE=pdfwrite", "-sOwnerPassword=owner", "-sUserPassword=user",
                          "-dEncryptionR=3", "-dKeyLength=128", "-sOutputFile=" + locked, plain},
                         &out),
              0)
        << out;
    ASSERT_TRUE(vtest::ReadPdfInfo(locked).pages < 0 || vtest::ReadPdfInfo(locked).encrypted);
    EXPECT_EQ(Print("203", locked), 1);
    ExpectServiceRouteOnly("203");
}

TEST_F(Docuvan, ViewerOptionOffUsesTheServiceRoute) {
    SetViewerOption(0);
    const std::string pdf = *install / "fine.pdf";
    vtest::WriteFile(pdf, vtest::MakePdf({"FINE"}));
    EXPECT_EQ(Print("204", pdf), 1);
    ExpectServiceRouteOnly("204");

    SetViewerOption(1);
    EXPECT_EQ(Print("205", pdf), 0);
    EXPECT_EQ(install->Record("205"), modJob::Status().done);
}

}  // namespace
