// The print layer against a private cupsd: printer list, the user's default and printing.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/print/CupsPrint.h"
#include "platform/print/CupsPrintSystem.h"
#include "tests/support/Cups.h"
#include "tests/support/Pdf.h"

namespace {
using vellora::print::CupsPrintSystem;
namespace fs = std::filesystem;

vtest::Cups* gCups = nullptr;

class CupsEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        cups_ = std::make_unique<vtest::Cups>();
        cups_->AddPrinter("Alpha");
        cups_->AddPrinter("beta_office", "Letter");
        cups_->AddPrinter("Gamma");
        cups_->AddPrinter("Refuser");
        cups_->RejectJobs("Refuser");
        cups_->ApplyToThisProcess();
        gCups = cups_.get();
    }
    void TearDown() override {
        gCups = nullptr;
        cups_.reset();
    }

  private:
    std::unique_ptr<vtest::Cups> cups_;
};
const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new CupsEnvironment);

// The default as a fresh process sees it: lpstat reads the same lpoptions files.
std::string DefaultSeenByFreshProcess() {
    std::string out;
    gCups->Tool({"/usr/bin/lpstat", "-d"}, &out);
    const auto colon = out.find(": ");
    if (colon == std::string::npos) return "";
    std::string name = out.substr(colon + 2);
    while (!name.empty() && (name.back() == '\n' || name.back() == ' ')) name.pop_back();
    return name;
}

class CupsPrintSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Each test starts with no user default recorded anywhere.
        std::error_code ec;
        fs::remove(gCups->Home() + "/.cups/lpoptions", ec);
        fs::remove(gCups->Folder() + "/lpoptions", ec);
    }
    CupsPrintSystem ps;
};

TEST_F(CupsPrintSystemTest, ListsEveryInstalledPrinterInTheServersOrder) {
    EXPECT_EQ(ps.Printers(),
              (std::vector<std::string>{"Alpha", "beta_office", "Gamma", "Refuser"}));
    EXPECT_EQ(ps.GetSystemPrinter(), "");
}

TEST_F(CupsPrintSystemTest, SwitchInOtherLetterCaseIsSeenByAFreshProcess) {
    ASSERT_TRUE(ps.SwitchPrinter("GAMMA"));
    EXPECT_EQ(ps.GetSystemPrinter(), "Gamma");
    EXPECT_EQ(DefaultSeenByFreshProcess(), "Gamma");

    ASSERT_TRUE(ps.SwitchPrinter("Beta_Office"));
    EXPECT_EQ(ps.GetSystemPrinter(), "beta_office");
    EXPECT_EQ(DefaultSeenByFreshProcess(), "beta_office");
    // The name is recorded as it was given.
    const std::string user = vtest::ReadFile(gCups->Home() + "/.cups/lpoptions") +
                             vtest::ReadFile(gCups->Folder() + "/lpoptions");
    EXPECT_NE(user.find("Default Beta_Office"), std::string::npos) << user;
}

TEST_F(CupsPrintSystemTest, UnknownOrEmptyNameLeavesTheDefaultAlone) {
    ASSERT_TRUE(ps.SwitchPrinter("Alpha"));
    EXPECT_FALSE(ps.SwitchPrinter("Alph"));
    EXPECT_FALSE(ps.SwitchPrinter("Alpha2"));
    EXPECT_FALSE(ps.SwitchPrinter(""));
    EXPECT_EQ(ps.GetSystemPrinter(), "Alpha");
    EXPECT_EQ(DefaultSeenByFreshProcess(), "Alpha");
}

TEST_F(CupsPrintSystemTest, PrintsOnTheDefaultWithPageRangesAndFitToPage) {
    ASSERT_TRUE(ps.SwitchPrinter("gamma"));
    vtest::TempDir tmp;
    const std::string doc = tmp / "three.pdf";
    vtest::WriteFile(doc, vtest::MakePdf({"PAGEONE", "PAGETWO", "PAGETHREE"}, 612, 1008));
    const std::size_t before = gCups->PrintedFiles("Gamma").size();

    vellora::print::PrintOptions o;
    o.fitToPage = true;
    o.pageRanges = "2-3";
    const auto r = vellora::print::PrintFile(doc, "three", o);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.error.empty());
    ASSERT_TRUE(gCups->WaitForPrinted("Gamma", before + 1));
    const std::string printed = gCups->PrintedFiles("Gamma").back();
    const auto info = vtest::ReadPdfInfo(printed);
    EXPECT_EQ(info.pages, 2);
    EXPECT_NEAR(info.width, 595, 1);  // the legal-size pages were fitted to A4
    EXPECT_NEAR(info.height, 842, 1);
    const std::string text = vtest::PdfText(printed);
    EXPECT_EQ(text.find("PAGEONE"), std::string::npos);
    EXPECT_NE(text.find("PAGETWO"), std::string::npos);
    EXPECT_NE(text.find("PAGETHREE"), std::string::npos);
    EXPECT_TRUE(gCups->PrintedFiles("Alpha").empty());
}

TEST_F(CupsPrintSystemTest, PrintFailsWhenCupsRefusesOrNothingCanBeSent) {
    vtest::TempDir tmp;
    const std::string doc = tmp / "one.pdf";
    vtest::WriteFile(doc, vtest::MakePdf({"ONE"}));

    auto r = vellora::print::PrintFile(doc, "no default");
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.error.empty());

    ASSERT_TRUE(ps.SwitchPrinter("Refuser"));
    r = vellora::print::PrintFile(doc, "refused");
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.error.empty());

    ASSERT_TRUE(ps.SwitchPrinter("Alpha"));
    r = vellora::print::PrintFile(tmp / "missing.pdf", "missing");
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find("missing.pdf"), std::string::npos);
}

TEST_F(CupsPrintSystemTest, PaperSizeFollowsTheDefaultPrinter) {
    ASSERT_TRUE(ps.SwitchPrinter("beta_office"));
    auto size = vellora::print::DefaultPaperSize();
    EXPECT_NEAR(size.width, 612, 1);
    EXPECT_NEAR(size.height, 792, 1);
    ASSERT_TRUE(ps.SwitchPrinter("Alpha"));
    size = vellora::print::DefaultPaperSize();
    EXPECT_NEAR(size.width, 595, 1);
    EXPECT_NEAR(size.height, 842, 1);
}

}  // namespace
