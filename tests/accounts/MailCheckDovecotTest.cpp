// The mail check against a real Dovecot through the real mail component: one IMAP account in
// plain text and one POP3 account over TLS, checked together.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "main/core/AccountMailCheck.h"
#include "main/core/Accounts.h"
#include "platform/mail/MailFactory.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/accounts/DovecotSuite.h"
#include "tests/accounts/Fakes.h"
#include "tests/mail/ScriptedServer.h"
#include "tests/support/Dovecot.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora::core;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
namespace st = vellora::texts;

std::string Raw(const std::string& subject) {
    return "From: Sender <sender@example.org>\r\nTo: someone@example.org\r\nSubject: " + subject +
           "\r\nMessage-ID: <" + subject + "@example.org>\r\n\r\nBody of " + subject + "\r\n";
}

// An IMAP server that takes the login and shows five messages, then hangs up on the next
// command: the session is open but the mailbox cannot be counted.
void DropsAfterLogin(vtest::ScriptedConnection& c) {
    vtest::ScriptedImap(c, [](vtest::ScriptedConnection& c, const std::string& tag,
                              const std::string& command, bool& stop) {
        if (command == "SELECT INBOX")
            c.Send("* 5 EXISTS\r\n* OK [UIDVALIDITY 5] ok\r\n" + tag + " OK [READ-WRITE] done\r\n");
        else
            stop = true;
        return true;
    });
}

class MailCheckDovecot : public vtest::DovecotSuite {
  protected:
    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        const std::string tag = std::to_string(++serial);
        anna = "anna" + tag;
        bert = "bert" + tag;
        dovecot->AddUser(anna, "anna-pw");
        dovecot->AddUser(bert, "bert-pw");
    }
    void TearDown() override { vellora::SetAppFolderForTesting(""); }

    AccountRecord Imap(const std::string& user, const std::string& password) {
        AccountRecord a;
        a.id = static_cast<std::int16_t>(accounts.size() + 1);
        a.imap = true;
        a.server = "127.0.0.1";
        a.port = dovecot->imapPort();
        a.user = user;
        a.password = password;
        a.printNew = true;
        a.lastId = kFreshStart;
        return a;
    }
    AccountRecord Pop3Tls(const std::string& user, const std::string& password) {
        AccountRecord a = Imap(user, password);
        a.imap = false;
        a.pop = true;
        a.server = "localhost";
        a.port = dovecot->pop3sPort();
        a.ssl = true;
        return a;
    }
    void Save() { SaveAccounts(path, accounts); }
    std::int32_t StoredLastId(std::size_t position) {
        return basINI_IO::ReadSettingNumber(path, AccountSection(position), st::kKeyAcctLastMsg);
    }
    void Check() {
        AccountMailCheck check(
            {*session, *message, handling, status, pump, options, accounts, path});
        check.RunMailCheck();
    }
    std::vector<std::string> MailLinesWith(const std::string& part) {
        std::vector<std::string> out;
        for (const auto& l : status.mail) {
            if (l.find(part) != std::string::npos) out.push_back(l);
        }
        return out;
    }

    static int serial;
    vtest::TempDir dir{"acct-dovecot"};
    std::string path = dir / "vellora.ini";
    std::string anna, bert;
    std::unique_ptr<vellora::mail::MailSession> session = vellora::mail::CreateMailSession();
    std::unique_ptr<vellora::mail::MailMessage> message = vellora::mail::CreateMailMessage();
    vtest::RecordingHandling handling;
    vtest::RecordingStatus status;
    vtest::HookPump pump;
    Options options;
    AccountArray accounts;
};
int MailCheckDovecot::serial = 0;

TEST_F(MailCheckDovecot, FirstContactThenNewMessagesInOrderWithTheIdStoredFirst) {
    for (int i = 1; i <= 10; ++i) dovecot->AddMessage(anna, Raw("a" + std::to_string(i)));
    for (int i = 1; i <= 3; ++i) dovecot->AddMessage(bert, Raw("b" + std::to_string(i)));
    accounts = {Imap(anna, "anna-pw"), Pop3Tls(bert, "bert-pw")};
    accounts[1].printAll = true;
    accounts[1].printNew = false;
    Save();
    Check();

    // Print new: the newest id is stored and nothing is new.
    EXPECT_EQ(StoredLastId(1), 10);
    EXPECT_THAT(status.mail.front(), HasSubstr("127.0.0.1 - " + anna + ": 0 new"));
    // Print all, over TLS: every message, the first one included.
    const std::string bertLabel = "localhost - " + bert;
    EXPECT_THAT(handling.matched,
                ElementsAre(bertLabel + "|b1", bertLabel + "|b2", bertLabel + "|b3"));
    EXPECT_THAT(MailLinesWith(bertLabel + ": 3 new"), ::testing::SizeIs(1));
    EXPECT_TRUE(status.errors.empty()) << status.errors.front();
    const std::int32_t bertLast = StoredLastId(2);
    EXPECT_GT(bertLast, 0);

    // Later arrivals: fetched in order, each one's id stored before it is handled; each
    // account keeps its own boundary.
    dovecot->AddMessage(anna, Raw("a11"));
    dovecot->AddMessage(anna, Raw("a12"));
    dovecot->AddMessage(bert, Raw("b4"));
    handling.matched.clear();
    std::vector<std::int32_t> storedAtMatch;
    handling.onMatch = [&](const std::string& subject) {
        storedAtMatch.push_back(StoredLastId(subject[0] == 'a' ? 1 : 2));
    };
    Check();
    const std::string annaLabel = "127.0.0.1 - " + anna;
    EXPECT_THAT(handling.matched,
                ElementsAre(annaLabel + "|a11", annaLabel + "|a12", bertLabel + "|b4"));
    EXPECT_THAT(storedAtMatch, ElementsAre(11, 12, ::testing::Gt(bertLast)));
    EXPECT_EQ(StoredLastId(1), 12);
    EXPECT_EQ(accounts[0].lastId, 12);
    EXPECT_THAT(MailLinesWith(annaLabel + ": 2 new"), ::testing::SizeIs(1));
    EXPECT_THAT(MailLinesWith(bertLabel + ": 1 new"), ::testing::SizeIs(1));

    // Nothing new: nothing handled again.
    handling.matched.clear();
    Check();
    EXPECT_TRUE(handling.matched.empty());
}

TEST_F(MailCheckDovecot, RefusedLoginAndMissingProtocolAreReportedAndTheNextAccountChecked) {
    dovecot->AddMessage(bert, Raw("b1"));
    AccountRecord wrong = Imap(anna, "not-the-password");
    AccountRecord none = Imap(anna, "anna-pw");
    none.imap = false;
    accounts = {wrong};
    accounts.push_back(none);
    accounts.push_back(Pop3Tls(bert, "bert-pw"));
    accounts[2].printAll = true;
    accounts[2].printNew = false;
    Save();
    Check();
    ASSERT_EQ(status.errors.size(), 2u);
    EXPECT_THAT(status.errors[0], HasSubstr("127.0.0.1 - " + anna + ": connection or login"));
    EXPECT_THAT(status.errors[1], HasSubstr("127.0.0.1 - " + anna + ": no protocol"));
    EXPECT_THAT(handling.matched, ElementsAre("localhost - " + bert + "|b1"));
    EXPECT_EQ(StoredLastId(1), kFreshStart);
}

TEST_F(MailCheckDovecot, PrintNewOnAnEmptyMailboxThenTheFirstArrivalIsNew) {
    accounts = {Imap(anna, "anna-pw"), Pop3Tls(bert, "bert-pw")};
    Save();
    Check();
    EXPECT_EQ(StoredLastId(1), 0);
    EXPECT_EQ(StoredLastId(2), 0);
    dovecot->AddMessage(anna, Raw("a1"));
    dovecot->AddMessage(bert, Raw("b1"));
    Check();
    EXPECT_THAT(handling.matched,
                ElementsAre("127.0.0.1 - " + anna + "|a1", "localhost - " + bert + "|b1"));
}

TEST_F(MailCheckDovecot, ALargeMailboxIsCheckedWhole) {
    for (int i = 1; i <= 300; ++i) dovecot->AddMessage(anna, Raw("a" + std::to_string(i)));
    accounts = {Imap(anna, "anna-pw")};
    Save();
    Check();
    EXPECT_EQ(StoredLastId(1), 300);
    for (int i = 301; i <= 303; ++i) dovecot->AddMessage(anna, Raw("a" + std::to_string(i)));
    Check();
    const std::string label = "127.0.0.1 - " + anna;
    EXPECT_THAT(handling.matched, ElementsAre(label + "|a301", label + "|a302", label + "|a303"));
    EXPECT_EQ(vtest::Exists(dir / "vellora.log") ? vtest::ReadFile(dir / "vellora.log") : "", "");
}

TEST_F(MailCheckDovecot, AnUncountableMailboxIsOneErrorStoresNothingAndTheNextAccountIsChecked) {
    vtest::ScriptedServer failing(DropsAfterLogin);
    dovecot->AddMessage(bert, Raw("b1"));
    AccountRecord broken = Imap("counted", "pw");
    broken.port = failing.port();
    accounts = {broken, Pop3Tls(bert, "bert-pw")};
    accounts[1].printAll = true;
    accounts[1].printNew = false;
    Save();
    Check();
    const std::string label = "127.0.0.1 - counted";
    EXPECT_THAT(status.errors, ElementsAre(HasSubstr(label)));
    EXPECT_THAT(MailLinesWith(label), ::testing::IsEmpty());
    // Print new on first contact: nothing stored, so the next check starts afresh.
    EXPECT_EQ(StoredLastId(1), kFreshStart);
    EXPECT_THAT(handling.matched, ElementsAre("localhost - " + bert + "|b1"));
}

TEST_F(MailCheckDovecot, APop3PortOrTlsChangeKeepsTheIdsAndTheBoundary) {
    for (int i = 1; i <= 3; ++i) dovecot->AddMessage(bert, Raw("b" + std::to_string(i)));
    accounts = {Pop3Tls(bert, "bert-pw")};
    accounts[0].ssl = false;
    accounts[0].port = dovecot->pop3Port();
    Save();
    Check();
    // Another client empties the mailbox; two messages arrive and are printed.
    dovecot->Expunge(bert);
    dovecot->AddMessage(bert, Raw("b4"));
    dovecot->AddMessage(bert, Raw("b5"));
    Check();
    const std::string label = "localhost - " + bert;
    EXPECT_THAT(handling.matched, ElementsAre(label + "|b4", label + "|b5"));
    const std::int32_t before = StoredLastId(1);
    // The same mailbox over TLS on its own port: only the message that is new is new.
    accounts[0].ssl = true;
    accounts[0].port = dovecot->pop3sPort();
    Save();
    dovecot->AddMessage(bert, Raw("b6"));
    handling.matched.clear();
    Check();
    EXPECT_THAT(handling.matched, ElementsAre(label + "|b6"));
    EXPECT_GT(StoredLastId(1), before);
    EXPECT_TRUE(status.errors.empty()) << status.errors.front();
}

TEST_F(MailCheckDovecot, AMailboxOfMoreThan32767MessagesIsCheckedLikeAnyOther) {
    constexpr int kMany = 40000;
    dovecot->AddMessages(anna, kMany, [](int i) { return Raw("a" + std::to_string(i)); });
    accounts = {Imap(anna, "anna-pw")};
    Save();
    Check();
    EXPECT_EQ(StoredLastId(1), kMany);
    dovecot->AddMessage(anna, Raw("late1"));
    dovecot->AddMessage(anna, Raw("late2"));
    Check();
    const std::string label = "127.0.0.1 - " + anna;
    EXPECT_THAT(handling.matched, ElementsAre(label + "|late1", label + "|late2"));
    EXPECT_EQ(StoredLastId(1), kMany + 2);
    EXPECT_THAT(MailLinesWith(label + ": 2 new"), ::testing::SizeIs(1));
    EXPECT_TRUE(status.errors.empty()) << status.errors.front();
    EXPECT_EQ(vtest::Exists(dir / "vellora.log") ? vtest::ReadFile(dir / "vellora.log") : "", "");
}

}  // namespace
