// The account array in the settings file: loading, saving, and the last id an edit keeps.
#include <gtest/gtest.h>

#include "main/core/AccountTest.h"
#include "main/core/Accounts.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/accounts/Fakes.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora::core;
namespace st = vellora::texts;

class AccountsStore : public ::testing::Test {
  protected:
    void SetUp() override { vellora::SetAppFolderForTesting(dir.path()); }
    void TearDown() override { vellora::SetAppFolderForTesting(""); }
    vtest::TempDir dir{"acct-store"};
    std::string path = dir / "vellora.ini";
};

AccountRecord Sample(std::int16_t id) {
    AccountRecord a;
    a.id = id;
    a.pop = true;
    a.server = "pop.example.org";
    a.port = 995;
    a.user = "user" + std::to_string(id);
    a.password = "pa ss=word;" + std::to_string(id);
    a.ssl = true;
    a.ntlm = true;
    a.lastId = 77;
    a.printAll = true;
    return a;
}

TEST_F(AccountsStore, SavedAccountsLoadBackWholeAndGiveTheHighestId) {
    SaveAccounts(path, {Sample(3), Sample(9), Sample(4)});
    const LoadedAccounts loaded = LoadAccounts(path, 50);
    ASSERT_EQ(loaded.accounts.size(), 3u);
    EXPECT_EQ(loaded.maxAcctID, 9);
    const AccountRecord& b = loaded.accounts[1];
    EXPECT_EQ(b.id, 9);
    EXPECT_EQ(b.server, "pop.example.org");
    EXPECT_EQ(b.port, 995);
    EXPECT_EQ(b.user, "user9");
    EXPECT_EQ(b.password, "pa ss=word;9");
    EXPECT_TRUE(b.pop && b.ssl && b.ntlm && b.printAll);
    EXPECT_FALSE(b.imap || b.encryptedLogin || b.printNew);
    EXPECT_EQ(b.lastId, 77);
    // The password is not in the file as typed.
    EXPECT_EQ(vtest::ReadFile(path).find("pa ss=word"), std::string::npos);
}

TEST_F(AccountsStore, CountIsLoweredToTheLimitAndAMissingIdEndsLoading) {
    SaveAccounts(path, {Sample(1), Sample(2), Sample(3)});
    EXPECT_EQ(LoadAccounts(path, 2).accounts.size(), 2u);
    basINI_IO::DeleteSettingKey(path, AccountSection(2), st::kKeyAcctId);
    const LoadedAccounts loaded = LoadAccounts(path, 50);
    ASSERT_EQ(loaded.accounts.size(), 3u);
    EXPECT_EQ(loaded.accounts[0].id, 1);
    EXPECT_EQ(loaded.accounts[1].id, 0);
    EXPECT_EQ(loaded.accounts[2].server, "");
    EXPECT_EQ(loaded.maxAcctID, 1);
}

TEST_F(AccountsStore, AbsentKeysTakeTheirPlaceholders) {
    basINI_IO::WriteSettingNumber(1, path, st::kAccountsSection, st::kKeyAccountCount);
    basINI_IO::WriteSettingNumber(5, path, AccountSection(1), st::kKeyAcctId);
    const AccountRecord a = LoadAccounts(path, 50).accounts.at(0);
    EXPECT_EQ(a.server, st::kNoServer.str());
    EXPECT_EQ(a.user, st::kNoUser.str());
    EXPECT_EQ(a.password, st::kNoPassword.str());
    EXPECT_EQ(a.port, 0);
    EXPECT_EQ(a.lastId, 1);
}

TEST_F(AccountsStore, AnEditKeepsTheStoredLastIdOnlyWhileTheMailboxStaysTheSame) {
    AccountRecord before = Sample(1);
    SaveAccounts(path, {before});
    basINI_IO::WriteSettingNumber(812, path, AccountSection(1), st::kKeyAcctLastMsg);
    AccountRecord edited = before;
    edited.password = "new password";
    edited.port = 110;
    edited.ssl = false;
    EXPECT_EQ(LastIdForSave(path, 1, &before, edited), 812);
    for (auto change : {+[](AccountRecord& a) { a.server = "other.example.org"; },
                        +[](AccountRecord& a) { a.user = "someone"; },
                        +[](AccountRecord& a) { a.pop = false, a.imap = true; }}) {
        AccountRecord moved = before;
        change(moved);
        EXPECT_EQ(LastIdForSave(path, 1, &before, moved), kFreshStart);
    }
    EXPECT_EQ(LastIdForSave(path, 2, nullptr, edited), kFreshStart);
}

TEST(AccountTestLogic, TypedPortThatIsNoNumberGivesAMessageAndNoConnection) {
    struct Boxes : vellora::core::Dialogs {
        std::vector<std::string> texts;
        MsgResult MessageBox(const std::string& t, MsgButtons, const std::string&) override {
            texts.push_back(t);
            return MsgResult::Ok;
        }
        std::optional<std::string> InputBox(const std::string&, const std::string&,
                                            const std::string&) override {
            return std::nullopt;
        }
    };
    for (const char* port : {"1a0", " ", "99999", "-1"}) {
        vtest::ScriptedSession session;
        Boxes boxes;
        TestAccount(session, boxes, {true, false, "mail.example.org", port, "u", "p"});
        ASSERT_EQ(boxes.texts.size(), 1u) << port;
        EXPECT_NE(boxes.texts[0].find("port"), std::string::npos) << port;
        EXPECT_EQ(std::count_if(session.calls.begin(), session.calls.end(),
                                [](const std::string& c) { return c.starts_with("Login"); }),
                  0);
    }
    vtest::ScriptedSession session;
    session.boxes = {{"u", 0, {}}};
    Boxes boxes;
    TestAccount(session, boxes, {false, true, "mail.example.org", "110", "u", "p", false, true});
    EXPECT_EQ(boxes.texts, std::vector<std::string>{"The account works."});
    EXPECT_NE(std::find(session.calls.begin(), session.calls.end(), "SetPort(110)"),
              session.calls.end());
    EXPECT_NE(std::find(session.calls.begin(), session.calls.end(),
                        "LoginEncrypted(mail.example.org,u,p)"),
              session.calls.end());
}

}  // namespace
