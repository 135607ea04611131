#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {

// The plain text is assembled at run time so that this test binary does not hold it either.
std::string Sample() {
    return std::string("Probe literal: plain text ") + "must not be in the binary";
}

TEST(LiteralScheme, BinaryHoldsOnlyTheEncodedForm) {
    const std::string probe = vtest::TestBinDir() + "/literal_probe";
    std::string out;
    ASSERT_EQ(vtest::Run({probe}, &out), 0);
    EXPECT_EQ(out, Sample() + "\n");
    EXPECT_EQ(vtest::ReadFile(probe).find(Sample()), std::string::npos);
    // The shared library's own texts are encoded too.
    const std::string lib = vtest::ReadFile(vtest::BuildDir() + "/shared/libvellora_shared.a");
    ASSERT_FALSE(lib.empty());
    EXPECT_EQ(lib.find(std::string("vellora") + ".ini"), std::string::npos);
    EXPECT_EQ(lib.find(std::string("RUNNING") + " - "), std::string::npos);
}

}  // namespace
