// A machine whose print server has no printers at all.
#include <gtest/gtest.h>

#include "platform/print/CupsPrint.h"
#include "platform/print/CupsPrintSystem.h"
#include "tests/support/Cups.h"
#include "tests/support/Pdf.h"

TEST(NoPrinters, EmptyListNoDefaultNothingToSwitchOrPrint) {
    vtest::Cups cups;
    cups.ApplyToThisProcess();
    vellora::print::CupsPrintSystem ps;
    EXPECT_TRUE(ps.Printers().empty());
    EXPECT_EQ(ps.GetSystemPrinter(), "");
    EXPECT_FALSE(ps.SwitchPrinter("anything"));

    vtest::TempDir tmp;
    vtest::WriteFile(tmp / "a.pdf", vtest::MakePdf({"A"}));
    const auto r = vellora::print::PrintFile(tmp / "a.pdf", "a");
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.error.empty());
    const auto size = vellora::print::DefaultPaperSize();
    EXPECT_NEAR(size.width, vellora::print::kA4.width, 0.01);
}
