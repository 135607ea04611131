#include <gtest/gtest.h>

#include "shared/AppFolder.h"
#include "shared/Literal.h"
#include "shared/modBase64.h"
#include "shared/modWriteLog.h"
#include "tests/support/TestSupport.h"

using namespace modBase64;

namespace {

class Base64 : public ::testing::Test {
  protected:
    void SetUp() override { vellora::SetAppFolderForTesting(dir.path()); }
    void TearDown() override { vellora::SetAppFolderForTesting(""); }
    std::string Log() { return vtest::ReadFile(modWriteLog::LogFilePath()); }
    vtest::TempDir dir;
};

TEST_F(Base64, RoundTripsEveryByteValue) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    // Without a marker the decoded text is the input plus the fill of the last group.
    const std::string decoded = sBSFd(sBSFe(all));
    ASSERT_GE(decoded.size(), all.size());
    EXPECT_EQ(decoded.substr(0, all.size()), all);
    EXPECT_EQ(decoded.substr(all.size()), std::string(decoded.size() - all.size(), '\0'));
}

TEST_F(Base64, KnownVectorsOfTheStandardAlphabet) {
    EXPECT_EQ(sBSFe("Man"), "TWFu");
    EXPECT_EQ(sBSFe("Ma"), "TWE=");
    EXPECT_EQ(sBSFe("M"), "TQ==");
    EXPECT_EQ(sBSFe("\xfb\xff\xbf"), "+/+/");
    EXPECT_EQ(sDecode4("TWFu"), "Man");
    EXPECT_EQ(sDecode4("TWE="), std::string("Ma\0", 3));
}

TEST_F(Base64, MarkerCutsAndFillStaysWithoutMarker) {
    EXPECT_EQ(TrimMarker(sBSFd(sBSFe("hello!"))), "hello");
    EXPECT_EQ(sBSFd(sBSFe("ab")), std::string("ab\0", 3));  // no marker: the fill stays
    EXPECT_EQ(TrimMarker("a!b!c"), "a");
    EXPECT_EQ(TrimMarker("none"), "none");
}

TEST_F(Base64, LineBreakAfterSixtyFourCharacters) {
    const std::string t45(45, 'x'), t46(46, 'x'), t49(49, 'x');
    EXPECT_EQ(sBSFe(t45).find('\r'), std::string::npos);
    EXPECT_EQ(sBSFe(t46), sBSFe(t46).substr(0, 64) + "\r\n");  // 16 groups, then the break
    const std::string e49 = sBSFe(t49);
    EXPECT_EQ(e49.find("\r\n"), 64u);
    EXPECT_GT(e49.size(), 66u);  // the break falls inside the value
    EXPECT_EQ(sBSFd(e49).substr(0, 49), t49);
}

TEST_F(Base64, DecoderIgnoresWhitespaceAnywhere) {
    EXPECT_EQ(sBSFd(" TW\tFu\r\n"), "Man");
    EXPECT_EQ(StripWhitespace(" a\tb\r\nc "), "abc");
}

TEST_F(Base64, ShortLastGroupIsPaddedOrInvalid) {
    EXPECT_EQ(sBSFd("TWE"), std::string("Ma\0", 3));  // padded with "="
    EXPECT_EQ(sBSFd("TWFuT"), "Man???");              // one character cannot be a group
    EXPECT_NE(Log().find("sBSFd - IC"), std::string::npos);
}

TEST_F(Base64, InvalidCharactersAreRejected) {
    EXPECT_FALSE(IsBase64(""));
    EXPECT_FALSE(IsBase64("TW*u"));
    EXPECT_FALSE(IsBase64("T=Fu"));
    EXPECT_FALSE(IsBase64("TW=u"));
    EXPECT_TRUE(IsBase64("TW=="));
    EXPECT_TRUE(IsBase64("TWE="));
    EXPECT_TRUE(IsBase64("TW\r\nFu"));
    EXPECT_EQ(sDecode4("TW*u"), "");
    EXPECT_EQ(sDecode4("TWF"), "");
    EXPECT_EQ(sBSFd("TW*uTWFu"), "???Man");
}

TEST_F(Base64, CompileTimeLiteralsDecodeAtUse) {
    EXPECT_EQ(VL("Bad Key"), "Bad Key");
    EXPECT_EQ(VL(""), "");
    constexpr auto enc = vellora::lit::Encode("sample text");
    EXPECT_EQ(std::string(enc.view()), sBSFe("sample text!"));
    EXPECT_EQ(enc.str(), "sample text");
}

}  // namespace
