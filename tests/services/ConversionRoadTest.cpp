// The whole road through the conversion service: the built Docuvan and Pictor, the real
// vellora-convertd and a private cupsd; every converted page is printed by a Pictor sub-run.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modJob.h"
#include "tests/helpers/HelperRunner.h"
#include "tests/support/CupsEnvironment.h"
#include "tests/support/Pdf.h"
#include "tests/support/Services.h"

namespace {
using namespace std::chrono_literals;

mode_t Mode(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

vtest::Cups* gCups = nullptr;

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(
    new vtest::CupsEnvironment(gCups, [](vtest::Cups& c) { c.AddPrinter("Paper"); }));

class ConversionRoad : public ::testing::Test {
  protected:
    void SetUp() override {
        install = std::make_unique<vtest::HelperInstall>(*gCups);
        install->SetDefaultPrinter("Paper");
        install->Install("pictor");
        install->Install("docuvan");
        before = gCups->PrintedFiles("Paper").size();
    }
    int Run(const std::string& program, const std::string& argument) {
        return install->Run(program, argument, {{"VELLORA_CONVERT_URL", service.url()}});
    }
    // The job records left in the store: only the parent's, the sub-runs' are deleted.
    std::size_t StoredRecords() const {
        const std::string ini = vtest::ReadFile(*install / vellora::texts::kSettingsFileName.str());
        std::size_t n = 0;
        for (auto at = ini.find("\nJob"); at != std::string::npos; at = ini.find("\nJob", at + 1))
            ++n;
        return n;
    }
    std::size_t Printed() const { return gCups->PrintedFiles("Paper").size() - before; }

    vtest::ConvertService service;
    std::unique_ptr<vtest::HelperInstall> install;
    std::size_t before = 0;
};

TEST_F(ConversionRoad, PdfWithTheViewerOffPrintsEachPageThroughAPictorSubRun) {
    vellora::SetAppFolderForTesting(install->Folder());
    basINI_IO::WriteSettingNumber(0, basINI_IO::SettingsPath(),
                                  vellora::texts::kGeneralSection.str(),
                                  vellora::texts::kKeyUseViewer.str());
    vellora::SetAppFolderForTesting("");
    const std::string pdf = *install / "three pages.pdf";
    vtest::WriteFile(pdf, vtest::MakePdf({"FIRST", "SECOND", "THIRD"}));
    EXPECT_EQ(Run("docuvan", "301@\"" + pdf + "\""), 0) << install->Log();
    EXPECT_EQ(install->Record("301"), modJob::Status().done) << install->Log();
    ASSERT_TRUE(gCups->WaitForPrinted("Paper", before + 3)) << install->Log();
    EXPECT_EQ(Printed(), 3u);
    EXPECT_EQ(StoredRecords(), 1u);
    // The pictures stay in the installation's tmp folder, one per page.
    EXPECT_EQ(vtest::ListDir(*install / "tmp").size(), 3u);
    // They hold the mail's content: for their owner's eyes only.
    EXPECT_EQ(Mode(*install / "tmp"), 0700u);
    for (const auto& name : vtest::ListDir(*install / "tmp"))
        EXPECT_EQ(Mode(*install / ("tmp/" + name)), 0600u) << name;
    // Each sub-run printed one page with the page's picture on it.
    const auto files = gCups->PrintedFiles("Paper");
    for (std::size_t i = before; i < files.size(); ++i) {
        EXPECT_EQ(vtest::ReadPdfInfo(files[i]).pages, 1) << files[i];
        EXPECT_FALSE(vtest::InkBox(vtest::PageImage(files[i], 1)).isEmpty()) << files[i];
    }
}

TEST_F(ConversionRoad, PictureTypePictorDoesNotKnowGoesTheSameWay) {
    const std::string pcx = *install / "scan.pcx";
    vtest::MakePicture({"-size", "300x200", "xc:navy", pcx});
    EXPECT_EQ(Run("pictor", "302@\"" + pcx + "\" pcx"), 0) << install->Log();
    EXPECT_EQ(install->Record("302"), modJob::Status().done) << install->Log();
    ASSERT_TRUE(gCups->WaitForPrinted("Paper", before + 1));
    EXPECT_EQ(Printed(), 1u);
    EXPECT_EQ(StoredRecords(), 1u);
    const QRect ink = vtest::InkBox(vtest::PageImage(gCups->PrintedFiles("Paper").back(), 1));
    EXPECT_FALSE(ink.isEmpty()) << "the navy picture is on the page";
}

TEST_F(ConversionRoad, ServiceRefusalEndsTheJobWithTheRequestFailure) {
    const std::string fake = *install / "fake.pdf";
    vtest::WriteFile(fake, "%PDF-1.4 this is no PDF");
    vellora::SetAppFolderForTesting(install->Folder());
    basINI_IO::WriteSettingNumber(0, basINI_IO::SettingsPath(),
                                  vellora::texts::kGeneralSection.str(),
                                  vellora::texts::kKeyUseViewer.str());
    vellora::SetAppFolderForTesting("");
    EXPECT_EQ(Run("docuvan", "303@\"" + fake + "\""), 1);
    const std::string record = install->Record("303");
    EXPECT_TRUE(modJob::HasStatus(record, modJob::Status().failed)) << record;
    EXPECT_NE(record.find("422"), std::string::npos) << record;
    EXPECT_NE(install->Log().find("could not be converted"), std::string::npos) << install->Log();
    EXPECT_EQ(Mode(*install / "vellora.log"), 0600u);
    EXPECT_EQ(Printed(), 0u);
}

}  // namespace
