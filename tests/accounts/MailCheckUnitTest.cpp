// The mail check's logic against a scripted session: failures that a real server cannot be
// made to produce on demand, the first-contact rules and the re-entry guard.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "main/core/AccountMailCheck.h"
#include "main/core/Accounts.h"
#include "platform/mail/FakeMailSession.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/accounts/Fakes.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora::core;
using ::testing::HasSubstr;

std::string Raw(const std::string& subject) {
    return "From: a@example.org\r\nSubject: " + subject + "\r\n\r\nbody\r\n";
}

class MailCheckUnit : public ::testing::Test {
  protected:
    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        path = dir / "vellora.ini";
    }
    void TearDown() override { vellora::SetAppFolderForTesting(""); }

    AccountRecord Account(std::int16_t id, const std::string& user) {
        AccountRecord a;
        a.id = id;
        a.imap = true;
        a.server = "mail.example.org";
        a.port = 143;
        a.user = user;
        a.password = "secret";
        a.printNew = true;
        a.lastId = kFreshStart;  // as a freshly saved account
        return a;
    }
    void Store(const AccountArray& accounts) {
        SaveAccounts(path, accounts);
        this->accounts = accounts;
    }
    std::int32_t StoredLastId(std::size_t position) {
        return basINI_IO::ReadSettingNumber(path, AccountSection(position),
                                            vellora::texts::kKeyAcctLastMsg);
    }
    std::string Log() {
        return vtest::Exists(dir / "vellora.log") ? vtest::ReadFile(dir / "vellora.log") : "";
    }
    AccountMailCheck Check() { return Check(session); }
    AccountMailCheck Check(vellora::mail::MailSession& on) {
        return AccountMailCheck({on, message, handling, status, pump, options, accounts, path});
    }

    vtest::TempDir dir{"acct-unit"};
    std::string path;
    vtest::ScriptedSession session;       // one mailbox per user
    vellora::mail::FakeMailSession fake;  // one mailbox for every login
    vtest::SubjectOnlyMessage message;
    vtest::RecordingHandling handling;
    vtest::RecordingStatus status;
    vtest::HookPump pump;
    Options options;
    AccountArray accounts;
};

TEST_F(MailCheckUnit, FailedRetrieveIsReportedAndSkippedAndTheNextMessageStillHandled) {
    fake.AddMessage("5", Raw("five"));
    fake.AddMessage("6", Raw("six"));
    fake.AddMessage("7", Raw("seven"));
    fake.FailRetrieve(2);
    Store({Account(1, "anna")});
    basINI_IO::WriteSettingNumber(5, path, AccountSection(1), vellora::texts::kKeyAcctLastMsg);
    Check(fake).RunMailCheck();
    EXPECT_EQ(fake.CountOf("Retrieve"), 2);

    ASSERT_EQ(status.errors.size(), 1u);
    EXPECT_THAT(status.errors[0], HasSubstr("mail.example.org - anna"));
    EXPECT_THAT(status.errors[0], HasSubstr("6"));
    EXPECT_THAT(handling.matched, ::testing::ElementsAre("mail.example.org - anna|seven"));
    EXPECT_EQ(StoredLastId(1), 7);
    EXPECT_EQ(accounts[0].lastId, 7);
    EXPECT_THAT(status.mail.front(), HasSubstr("2 new"));
}

TEST_F(MailCheckUnit, FailedRetrieveOfTheLastMessageIsFetchedAgainNextTime) {
    session.boxes = {{"anna", 0, {{"5", Raw("five")}, {"6", ""}}}};
    Store({Account(1, "anna")});
    basINI_IO::WriteSettingNumber(5, path, AccountSection(1), vellora::texts::kKeyAcctLastMsg);
    Check().RunMailCheck();
    EXPECT_EQ(StoredLastId(1), 5);
    session.boxes[0].messages[1].raw = Raw("six");
    Check().RunMailCheck();
    EXPECT_THAT(handling.matched, ::testing::ElementsAre("mail.example.org - anna|six"));
}

TEST_F(MailCheckUnit, NonNumericIdEndsTheWholeCheckWithOneLogLineAndANotification) {
    fake.AddMessage("1", Raw("one"));
    fake.AddMessage("x2", Raw("two"));
    AccountRecord anna = Account(1, "anna");
    anna.printAll = true;
    anna.printNew = false;
    Store({anna, Account(2, "bert")});
    options.notifyOnError = true;
    Check(fake).RunMailCheck();

    const std::string log = Log();
    EXPECT_THAT(log, HasSubstr("RunMailCheck - 150 - "));
    EXPECT_THAT(log, HasSubstr("x2"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);  // one entry and its empty line
    // The second account waits for the next check, and the session was not left open.
    EXPECT_EQ(fake.CountOf("Reset"), 1);
    EXPECT_EQ(fake.Calls().back(), "Close");
    EXPECT_EQ(fake.CountOf("Retrieve"), 0);
    EXPECT_TRUE(handling.matched.empty());
    ASSERT_EQ(status.notifications.size(), 1u);
    EXPECT_THAT(status.notifications[0], HasSubstr("150"));
    EXPECT_THAT(status.notifications[0], HasSubstr("x2"));
}

TEST_F(MailCheckUnit, NoNotificationWhenTheOptionIsOff) {
    session.boxes = {{"anna", 0, {{"abc", Raw("one")}}}};
    Store({Account(1, "anna")});
    Check().RunMailCheck();
    EXPECT_THAT(Log(), HasSubstr("RunMailCheck - 140 - "));
    EXPECT_TRUE(status.notifications.empty());
}

TEST_F(MailCheckUnit, PrintAllFirstContactHandlesTheFirstMessageToo) {
    session.boxes = {{"anna", 0, {{"1", Raw("one")}, {"2", Raw("two")}}}};
    AccountRecord a = Account(1, "anna");
    a.printAll = true;
    a.printNew = false;
    Store({a});
    basINI_IO::WriteSettingNumber(-2, path, AccountSection(1), vellora::texts::kKeyAcctLastMsg);
    Check().RunMailCheck();
    EXPECT_THAT(handling.matched, ::testing::ElementsAre("mail.example.org - anna|one",
                                                         "mail.example.org - anna|two"));
    EXPECT_EQ(StoredLastId(1), 2);
}

TEST_F(MailCheckUnit, PrintNewFirstContactWithAnEmptyMailboxStoresZero) {
    session.boxes = {{"anna", 0, {}}};
    Store({Account(1, "anna")});
    basINI_IO::DeleteSettingKey(path, AccountSection(1), vellora::texts::kKeyAcctLastMsg);
    Check().RunMailCheck();
    EXPECT_EQ(StoredLastId(1), 0);
    EXPECT_EQ(Log(), "");
    // The first message that arrives later is new.
    session.boxes[0].messages = {{"1", Raw("first")}};
    Check().RunMailCheck();
    EXPECT_THAT(handling.matched, ::testing::ElementsAre("mail.example.org - anna|first"));
}

TEST_F(MailCheckUnit, TlsFailureAndNoProtocolAreReportedAndTheNextAccountChecked) {
    AccountRecord none = Account(1, "anna");
    none.imap = none.pop = false;
    AccountRecord tls = Account(2, "bert");
    tls.ssl = true;
    AccountRecord carl = Account(3, "carl");
    carl.printAll = true;
    carl.printNew = false;
    session.boxes = {{"bert", 0, {}}, {"carl", 0, {{"3", Raw("c3")}}}};
    session.sslCode = vellora::mail::kTlsFailed;
    Store({none, tls, carl});
    Check().RunMailCheck();
    ASSERT_EQ(status.errors.size(), 2u);
    EXPECT_THAT(status.errors[0], HasSubstr("mail.example.org - anna: no protocol"));
    EXPECT_THAT(status.errors[1], HasSubstr("mail.example.org - bert"));
    EXPECT_THAT(status.errors[1], HasSubstr("2"));
    EXPECT_THAT(handling.matched, ::testing::ElementsAre("mail.example.org - carl|c3"));
    EXPECT_EQ(std::count(session.calls.begin(), session.calls.end(), "Close"), 3);
}

TEST_F(MailCheckUnit, ATickDuringAYieldDoesNotStartASecondCheck) {
    session.boxes = {{"anna", 0, {{"1", Raw("one")}, {"2", Raw("two")}}}};
    AccountRecord a = Account(1, "anna");
    a.printAll = true;
    a.printNew = false;
    Store({a});
    auto check = Check();
    int ticks = 0;
    std::vector<bool> runningSeen;
    pump.hook = [&] {
        ++ticks;
        runningSeen.push_back(check.Running());
        check.RunMailCheck();  // what a timer tick would do
    };
    check.RunMailCheck();
    EXPECT_GE(ticks, 4);
    EXPECT_THAT(runningSeen, ::testing::Each(true));
    EXPECT_EQ(std::count(session.calls.begin(), session.calls.end(), "Reset"), 1);
    EXPECT_EQ(handling.matched.size(), 2u);
    EXPECT_FALSE(check.Running());
    EXPECT_EQ(check.CurrentAccount(), 0);
}

TEST_F(MailCheckUnit, AnAccountDeletedDuringAYieldDoesNotGetItsIdWrittenOverAnother) {
    session.boxes = {{"anna", 0, {{"1", Raw("one")}, {"2", Raw("two")}}}};
    AccountRecord a = Account(1, "anna");
    a.printAll = true;
    a.printNew = false;
    AccountRecord b = Account(2, "bert");
    b.lastId = 40;
    Store({a, b});
    auto check = Check();
    pump.hook = [&] {
        if (accounts.size() == 2) {  // the user deletes account 1 while the check yields
            accounts.erase(accounts.begin());
            SaveAccounts(path, accounts);
        }
    };
    check.RunMailCheck();
    EXPECT_EQ(StoredLastId(1), 40);
}

}  // namespace
