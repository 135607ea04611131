// A machine whose print server has no printers at all.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "platform/print/CupsPrint.h"
#include "platform/print/CupsPrintSystem.h"
#include "tests/support/Cups.h"
#include "tests/support/Pdf.h"

TEST(NoPrinters, EmptyListNoDefaultNothingToSwitchOrPrint) {
    auto server = std::make_unique<vtest::Cups>();
    vtest::Cups& cups = *server;
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

    // With the server gone every call answers at once, empty or failed.
    server.reset();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(ps.Printers().empty());
    EXPECT_EQ(ps.GetSystemPrinter(), "");
    EXPECT_FALSE(ps.SwitchPrinter("anything"));
    const auto gone = vellora::print::PrintFile(tmp / "a.pdf", "a");
    EXPECT_FALSE(gone.ok());
    EXPECT_FALSE(gone.error.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}
