// The fake must keep the real one's contract, or logic tests would pass against a lie.
#include <gtest/gtest.h>

#include "platform/print/FakePrintSystem.h"

TEST(FakePrintSystem, MatchesIgnoringCaseKeepsGivenNameRefusesUnknown) {
    vellora::print::FakePrintSystem ps;
    ps.printers = {"Office", "Lab"};
    ps.defaultPrinter = "Lab";
    EXPECT_TRUE(ps.SwitchPrinter("OFFICE"));
    EXPECT_EQ(ps.GetSystemPrinter(), "OFFICE");
    EXPECT_FALSE(ps.SwitchPrinter("Offic"));
    EXPECT_FALSE(ps.SwitchPrinter(""));
    EXPECT_EQ(ps.GetSystemPrinter(), "OFFICE");
    EXPECT_EQ(ps.switches, (std::vector<std::string>{"OFFICE", "Offic", ""}));
}
