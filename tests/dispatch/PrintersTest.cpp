// The printers tab's logic: the two lists, the two labels and the application printer key.
#include <gtest/gtest.h>

#include "main/core/MainTexts.h"
#include "main/core/Printers.h"
#include "main/core/RuleMatch.h"
#include "platform/print/FakePrintSystem.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;
namespace mt = vellora::core::texts;

namespace {

class PrintersTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"printers"};
    std::string ini = dir / "vellora.ini";
    vellora::print::FakePrintSystem ps;
};

TEST_F(PrintersTest, NoPrintersGivesOnlyTheFirstEntriesAndAnEmptySystemPrinter) {
    const PrinterLists l = FillPrinterLists(ps, ini);
    EXPECT_EQ(l.printers, std::vector<std::string>{SystemDefaultEntry()});
    EXPECT_EQ(l.rulePrinters, std::vector<std::string>{RuleDefaultEntry()});
    EXPECT_EQ(l.systemPrinter, "");
    EXPECT_EQ(l.applicationPrinter, mt::kNoPrinterSelected.str());
    EXPECT_NE(SystemDefaultEntry(), RuleDefaultEntry());
}

TEST_F(PrintersTest, ListsFollowTheSystemAndTheDefaultMarkerShowsTheSystemPrinter) {
    ps.printers = {"Laser", "Ink"};
    ps.defaultPrinter = "Ink";
    basINI_IO::WriteSettingText(mt::kDefaultPrinterMarker.str(), ini,
                                vellora::texts::kGeneralSection, vellora::texts::kKeyAppPrinter);
    PrinterLists l = FillPrinterLists(ps, ini);
    EXPECT_EQ(l.printers, (std::vector<std::string>{SystemDefaultEntry(), "Laser", "Ink"}));
    EXPECT_EQ(l.rulePrinters, (std::vector<std::string>{RuleDefaultEntry(), "Laser", "Ink"}));
    EXPECT_EQ(l.systemPrinter, "Ink");
    EXPECT_EQ(l.applicationPrinter, "Ink");
}

TEST_F(PrintersTest, ChoosingTheSystemDefaultEntryStoresItsTextAndRulesFollowTheSystem) {
    ps.printers = {"Laser", "Ink"};
    ps.defaultPrinter = "Laser";
    PrinterLists l = FillPrinterLists(ps, ini);
    EXPECT_EQ(SetApplicationPrinter(l.printers, -1, ini), std::nullopt);  // nothing selected
    EXPECT_EQ(basINI_IO::ReadSettingText(ini, vellora::texts::kGeneralSection,
                                         vellora::texts::kKeyAppPrinter),
              "Bad Key");
    EXPECT_EQ(SetApplicationPrinter(l.printers, 0, ini), SystemDefaultEntry());
    l = FillPrinterLists(ps, ini);
    EXPECT_EQ(l.applicationPrinter, SystemDefaultEntry());
    EXPECT_EQ(ResolvePrinter(RuleDefaultEntry(), {l.applicationPrinter, l.systemPrinter}), "Laser");
    EXPECT_EQ(SetApplicationPrinter(l.printers, 2, ini), "Ink");
    l = FillPrinterLists(ps, ini);
    EXPECT_EQ(ResolvePrinter(RuleDefaultEntry(), {l.applicationPrinter, l.systemPrinter}), "Ink");
}

}  // namespace
