// The shared log file: its entries' time stamps in the user's own date and time format, and a
// file that only its owner can read.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <regex>

#include "shared/AppFolder.h"
#include "shared/modWriteLog.h"
#include "tests/support/TestSupport.h"

namespace {

// Sets LC_ALL for the time of one test and puts the old value back.
class LocaleEnv {
  public:
    explicit LocaleEnv(const char* name) {
        if (const char* old = std::getenv("LC_ALL")) old_ = old;
        setenv("LC_ALL", name, 1);
    }
    ~LocaleEnv() {
        if (old_)
            setenv("LC_ALL", old_->c_str(), 1);
        else
            unsetenv("LC_ALL");
    }

  private:
    std::optional<std::string> old_;
};

bool LocaleInstalled(const char* name) {
    locale_t l = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(nullptr));
    if (l == static_cast<locale_t>(nullptr)) return false;
    freelocale(l);
    return true;
}

class LogFile : public ::testing::Test {
  protected:
    void SetUp() override { vellora::SetAppFolderForTesting(dir.path()); }
    void TearDown() override { vellora::SetAppFolderForTesting(""); }
    // The log's only entry, written under the given locale.
    std::string EntryUnder(const char* locale) {
        std::remove(modWriteLog::LogFilePath().c_str());
        LocaleEnv env(locale);
        modWriteLog::WriteLog("marker");
        return vtest::ReadFile(modWriteLog::LogFilePath());
    }
    vtest::TempDir dir{"logfile"};
};

TEST_F(LogFile, TheTimeStampFollowsTheUsersRegionalFormat) {
    for (const char* name : {"de_DE.UTF-8", "en_US.UTF-8"})
        ASSERT_TRUE(LocaleInstalled(name)) << name << " is not installed: run scripts/setup";
    const std::string german = EntryUnder("de_DE.UTF-8");
    EXPECT_TRUE(
        std::regex_match(german, std::regex(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d marker\n\n)")))
        << german;
    const std::string american = EntryUnder("en_US.UTF-8");
    EXPECT_TRUE(std::regex_match(
        american, std::regex(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d (AM|PM) marker\n\n)")))
        << american;
    // Without a regional format the stamp stays unambiguous.
    const std::string plain = EntryUnder("C");
    EXPECT_TRUE(std::regex_match(plain, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d marker\n\n)")))
        << plain;
}

TEST_F(LogFile, OnlyItsOwnerCanReadIt) {
    modWriteLog::WriteLog("first");
    struct stat st {};
    ASSERT_EQ(stat(modWriteLog::LogFilePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // A log an earlier version left readable for everyone is narrowed at the next entry.
    chmod(modWriteLog::LogFilePath().c_str(), 0644);
    modWriteLog::WriteLog("second");
    ASSERT_EQ(stat(modWriteLog::LogFilePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NE(vtest::ReadFile(modWriteLog::LogFilePath()).find("first\n\n"), std::string::npos);
}

}  // namespace
