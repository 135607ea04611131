#include <gtest/gtest.h>

#include "shared/StoredPassword.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modBase64.h"
#include "tests/support/TestSupport.h"

namespace pw = vellora::password;

TEST(StoredPassword, PlainFormIsTheMarkedEncodingOnOneLine) {
    EXPECT_EQ(pw::Store("secret"), modBase64::sBSFe("secret!"));
    const std::string sixty(60, 'p');
    const std::string stored = pw::Store(sixty);
    EXPECT_EQ(stored.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(pw::Read(stored), sixty);
    EXPECT_EQ(pw::Read(pw::Store("")), "");
    EXPECT_EQ(pw::Read(pw::Store("blank inside and ümlaut")), "blank inside and ümlaut");
}

TEST(StoredPassword, ExclamationMarksSurviveARestart) {
    vtest::TempDir dir;
    const std::string file = dir / "s.ini";
    for (const std::string& p :
         std::vector<std::string>{"a!b", "!", "end!", "!!x!!", "long!" + std::string(70, 'z')}) {
        basINI_IO::WriteSettingText(pw::Store(p), file, "Account1", "Password");
        EXPECT_EQ(pw::Read(basINI_IO::ReadSettingText(file, "Account1", "Password")), p);
    }
}

TEST(StoredPassword, AbsentAndEmptyValues) {
    EXPECT_EQ(pw::Read(basINI_IO::MissingValue()), vellora::texts::kNoPassword.str());
    EXPECT_EQ(pw::Read(""), "");
    // A value written by hand in the marked form without a marker reads whole.
    EXPECT_EQ(pw::Read(modBase64::sBSFe("abc")), "abc");
}
