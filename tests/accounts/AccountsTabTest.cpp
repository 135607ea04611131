// The accounts editor, driven through its controls with scripted message boxes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "main/core/Accounts.h"
#include "main/core/MainTexts.h"
#include "main/forms/AccountsTab.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/accounts/Dialogs.h"
#include "tests/accounts/Fakes.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora;
using core::MsgResult;
using ::testing::HasSubstr;
namespace tx = vellora::core::texts;

class AccountsEditor : public ::testing::Test {
  protected:
    void SetUp() override {
        SetAppFolderForTesting(dir.path());
        tab = std::make_unique<forms::AccountsTab>();
        tab->Bind(
            dialogs, [this] { return &session; }, path);
        tab->SetTexts();
        tab->LoadAccounts();
        tab->show();
    }
    void TearDown() override {
        tab.reset();
        SetAppFolderForTesting("");
    }
    void Type(QLineEdit* e, const QString& text) {
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
    }
    // A new account filled in and saved through the controls.
    void AddAccount(const QString& server, const QString& user, const QString& port = "993") {
        QTest::mouseClick(tab->cmdNewAcct, Qt::LeftButton);
        Click(tab->optIMAP);
        Type(tab->txtServer, server);
        Type(tab->txtPort, port);
        Type(tab->txtUsername, user);
        Type(tab->txtPassword, "secret");
        QTest::mouseClick(tab->cmdSaveAcct, Qt::LeftButton);
    }
    std::int32_t StoredCount() {
        return basINI_IO::ReadSettingNumber(path, texts::kAccountsSection, texts::kKeyAccountCount);
    }
    // Buttons react to clicks on their indicator and caption, not on the whole stretched row.
    void Click(QAbstractButton* b) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2));
    }
    void Select(int row) { tab->lstAccounts->setCurrentRow(row); }

    vtest::TempDir dir{"acct-gui"};
    std::string path = dir / "vellora.ini";
    vtest::AnsweringDialogs dialogs;
    vtest::ScriptedSession session;
    std::unique_ptr<forms::AccountsTab> tab;
};

TEST_F(AccountsEditor, SaveRefusesShortValuesAndBadPortsInOrder) {
    QTest::mouseClick(tab->cmdNewAcct, Qt::LeftButton);
    const struct {
        const char *server, *port, *user, *password;
        std::string expected;
    } cases[] = {
        {"m", "993", "anna", "secret", tx::kAcctServerMissing},
        {"mx", "", "anna", "secret", tx::kAcctPortMissing},
        {"mx", "1a0", "a", "s", tx::kAcctPortNotNumeric},
        {"mx", "99999999999", "a", "s", tx::kAcctPortRange},
        {"mx", "993", "a", "secret", tx::kAcctUserMissing},
        {"mx", "993", "anna", "s", tx::kAcctPasswordMissing},
    };
    for (const auto& c : cases) {
        dialogs.asked.clear();
        Type(tab->txtServer, c.server);
        Type(tab->txtPort, c.port);
        Type(tab->txtUsername, c.user);
        Type(tab->txtPassword, c.password);
        QTest::mouseClick(tab->cmdSaveAcct, Qt::LeftButton);
        ASSERT_EQ(dialogs.asked.size(), 1u) << c.server << "/" << c.port;
        EXPECT_EQ(dialogs.asked[0].text, c.expected);
        EXPECT_EQ(dialogs.asked[0].title, tx::kSaveAcctTitle.str());
        EXPECT_TRUE(tab->Dirty());
        EXPECT_EQ(StoredCount(), -1);
    }
    Type(tab->txtPassword, "se");
    Type(tab->txtUsername, "an");
    dialogs.asked.clear();
    QTest::mouseClick(tab->cmdSaveAcct, Qt::LeftButton);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(StoredCount(), 1);
    EXPECT_FALSE(tab->Dirty());
}

TEST_F(AccountsEditor, TwoNewAccountsGetDifferentIdsAndDeletingLeavesCountZero) {
    AddAccount("imap.one.example", "anna");
    AddAccount("imap.two.example", "bert");
    ASSERT_EQ(tab->Accounts().size(), 2u);
    EXPECT_NE(tab->Accounts()[0].id, tab->Accounts()[1].id);
    EXPECT_EQ(tab->lstAccounts->item(1)->text(), "imap.two.example - bert");
    EXPECT_TRUE(tab->Accounts()[1].imap && !tab->Accounts()[1].pop);
    EXPECT_EQ(StoredCount(), 2);
    // A saved account starts fresh: the first check decides what is new.
    EXPECT_EQ(tab->Accounts()[1].lastId, core::kFreshStart);

    dialogs.answers = {MsgResult::Yes, MsgResult::Yes};
    Select(0);
    QTest::mouseClick(tab->cmdDelAcct, Qt::LeftButton);
    EXPECT_EQ(dialogs.asked.back().text, tx::kAcctDeleteAsk.str() + "anna?");
    EXPECT_EQ(tab->lblAcctID->text(), QString::number(tab->Accounts()[0].id));
    QTest::mouseClick(tab->cmdDelAcct, Qt::LeftButton);
    EXPECT_EQ(tab->lstAccounts->count(), 0);
    EXPECT_EQ(StoredCount(), 0);
    EXPECT_EQ(basINI_IO::ReadSettingText(path, core::AccountSection(1), texts::kKeyAcctServer),
              basINI_IO::MissingValue());
    EXPECT_EQ(basINI_IO::ReadSettingText(path, core::AccountSection(2), texts::kKeyAcctServer),
              basINI_IO::MissingValue());
}

TEST_F(AccountsEditor, LimitZeroShowsTheLimitMessageOnNewAndDuplicate) {
    tab->SetItemLimit(0);
    QTest::mouseClick(tab->cmdNewAcct, Qt::LeftButton);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, "At most 0 accounts can be kept.");
    EXPECT_EQ(dialogs.asked[0].title, tx::kNewAcctTitle.str());
    EXPECT_EQ(tab->lstAccounts->count(), 0);

    tab->SetItemLimit(1);
    AddAccount("imap.one.example", "anna");
    Select(0);
    dialogs.asked.clear();
    QTest::mouseClick(tab->cmdDupeAcct, Qt::LeftButton);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, "At most 1 accounts can be kept.");
    EXPECT_EQ(tab->lstAccounts->count(), 1);
}

TEST_F(AccountsEditor, UnsavedChangeQuestionOnSelectionNewDuplicateAndTabChange) {
    AddAccount("imap.one.example", "anna");
    AddAccount("imap.two.example", "bert");
    const std::string question =
        tx::kAcctChangedLead.str() + "imap.one.example - anna" + tx::kAcctChangedAsk.str();

    // Selection, answered No: the edit is dropped and the clicked account shown.
    Select(0);
    EXPECT_FALSE(tab->Dirty());
    Type(tab->txtServer, "imap.one.example");
    QTest::keyClicks(tab->txtServer, "x");
    EXPECT_TRUE(tab->Dirty());
    dialogs.asked.clear();
    dialogs.answers = {MsgResult::No};
    Select(1);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_THAT(dialogs.asked[0].text, HasSubstr("imap.one.examplex - anna"));
    EXPECT_EQ(tab->txtServer->text(), "imap.two.example");
    EXPECT_EQ(tab->Accounts()[0].server, "imap.one.example");

    // New, answered Yes: the edit is saved first.
    Select(0);
    Click(tab->chkSSL);
    EXPECT_TRUE(tab->Dirty());
    dialogs.asked.clear();
    dialogs.answers = {MsgResult::Yes};
    QTest::mouseClick(tab->cmdNewAcct, Qt::LeftButton);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, question);
    EXPECT_TRUE(tab->Accounts()[0].ssl);
    EXPECT_EQ(tab->lstAccounts->count(), 3);
    EXPECT_EQ(tab->lstAccounts->currentItem()->text(), QString::fromStdString(tx::kAcctNewLine));
    EXPECT_TRUE(tab->optPNew->isChecked());
    EXPECT_TRUE(tab->txtServer->text().isEmpty());
    EXPECT_TRUE(tab->Dirty());

    // Duplicate with the new line pending, answered No: the placeholder goes, the copy comes.
    Select(1);  // answered No by default: drops the new line
    EXPECT_EQ(tab->lstAccounts->count(), 2);
    dialogs.asked.clear();
    QTest::mouseClick(tab->cmdDupeAcct, Qt::LeftButton);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(tab->lstAccounts->count(), 3);
    EXPECT_EQ(tab->lstAccounts->item(2)->text(),
              "imap.two.example - bert" + QString::fromStdString(tx::kAcctDupeSuffix));
    const int copyId = tab->lblAcctID->text().toInt();
    EXPECT_EQ(copyId, tab->MaxAcctID() + 1);
    dialogs.answers = {MsgResult::Yes};
    tab->AskAboutUnsavedChange();  // as a tab change does
    EXPECT_EQ(tab->Accounts().size(), 3u);
    EXPECT_EQ(tab->Accounts()[2].id, copyId);
    EXPECT_EQ(tab->Accounts()[2].user, "bert");

    // Tab change resets the editor.
    Select(0);
    tab->EnterTab();
    EXPECT_EQ(tab->lstAccounts->currentRow(), -1);
    EXPECT_TRUE(tab->txtServer->text().isEmpty());
    EXPECT_FALSE(tab->txtServer->isEnabled());
    EXPECT_FALSE(tab->picSeePW->isEnabled());
    EXPECT_TRUE(tab->cmdNewAcct->isEnabled());
}

TEST_F(AccountsEditor, ARefusedSaveFromTheQuestionKeepsTheEditsAndTheirLine) {
    AddAccount("imap.one.example", "anna");
    AddAccount("imap.two.example", "bert");
    Select(0);
    Type(tab->txtServer, "x");  // too short to save
    dialogs.asked.clear();
    dialogs.answers = {MsgResult::Yes};
    Select(1);
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[1].text, tx::kAcctServerMissing.str());
    EXPECT_TRUE(tab->Dirty());
    EXPECT_EQ(tab->txtServer->text(), "x");
    EXPECT_EQ(tab->lstAccounts->currentRow(), 0);
    // New does not throw the kept edits away either.
    dialogs.answers = {MsgResult::Yes};
    QTest::mouseClick(tab->cmdNewAcct, Qt::LeftButton);
    EXPECT_EQ(tab->lstAccounts->count(), 2);
    EXPECT_EQ(tab->txtServer->text(), "x");
    EXPECT_EQ(tab->Accounts()[0].server, "imap.one.example");
}

TEST_F(AccountsEditor, DuplicateAsksAboutEditsAndCopiesTheSavedAccount) {
    AddAccount("imap.one.example", "anna");
    Select(0);
    Type(tab->txtUsername, "changed");
    dialogs.asked.clear();
    dialogs.answers = {MsgResult::No};
    QTest::mouseClick(tab->cmdDupeAcct, Qt::LeftButton);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_THAT(dialogs.asked[0].text, HasSubstr("imap.one.example - changed"));
    EXPECT_EQ(dialogs.asked[0].buttons, core::MsgButtons::YesNo);
    EXPECT_EQ(tab->txtUsername->text(), "anna");
    EXPECT_TRUE(tab->Dirty());
    QTest::mouseClick(tab->cmdSaveAcct, Qt::LeftButton);
    ASSERT_EQ(tab->Accounts().size(), 2u);
    EXPECT_EQ(tab->Accounts()[1].user, "anna");
    EXPECT_NE(tab->Accounts()[1].id, tab->Accounts()[0].id);
    EXPECT_EQ(StoredCount(), 2);
}

TEST_F(AccountsEditor, EditingThePasswordKeepsTheStoredLastIdAndMovingTheMailboxResetsIt) {
    AddAccount("imap.one.example", "anna");
    basINI_IO::WriteSettingNumber(4711, path, core::AccountSection(1), texts::kKeyAcctLastMsg);
    Select(0);
    Type(tab->txtPassword, "another secret");
    QTest::mouseClick(tab->cmdSaveAcct, Qt::LeftButton);
    EXPECT_EQ(basINI_IO::ReadSettingNumber(path, core::AccountSection(1), texts::kKeyAcctLastMsg),
              4711);
    EXPECT_EQ(core::LoadAccounts(path, 50).accounts.at(0).password, "another secret");
    Type(tab->txtServer, "imap.elsewhere.example");
    QTest::mouseClick(tab->cmdSaveAcct, Qt::LeftButton);
    EXPECT_EQ(basINI_IO::ReadSettingNumber(path, core::AccountSection(1), texts::kKeyAcctLastMsg),
              core::kFreshStart);
}

TEST_F(AccountsEditor, PasswordIsMaskedUntilTheEyeIsHeldDown) {
    AddAccount("imap.one.example", "anna");
    Select(0);
    EXPECT_EQ(tab->txtPassword->echoMode(), QLineEdit::Password);
    QTest::mousePress(tab->picSeePW, Qt::LeftButton);
    EXPECT_EQ(tab->txtPassword->echoMode(), QLineEdit::Normal);
    QTest::mouseRelease(tab->picSeePW, Qt::LeftButton);
    EXPECT_EQ(tab->txtPassword->echoMode(), QLineEdit::Password);
}

TEST_F(AccountsEditor, KeyboardOrderFollowsTheEditorsLayoutOfWork) {
    tab->EnterTab();
    AddAccount("imap.one.example", "anna");
    Select(0);
    const std::vector<QWidget*> order = {
        tab->lstAccounts, tab->cmdNewAcct,  tab->cmdSaveAcct, tab->cmdDupeAcct, tab->cmdDelAcct,
        tab->cmdTestAcct, tab->optIMAP,     tab->optPOP,      tab->txtServer,   tab->txtPort,
        tab->txtUsername, tab->txtPassword, tab->chkSSL,      tab->chkEncPW,    tab->chkNTLM,
        tab->optPAll,     tab->optPNew};
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget* next = order[i - 1]->nextInFocusChain();
        while (next != order[i] && next->focusPolicy() == Qt::NoFocus) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next, order[i]) << order[i - 1]->objectName().toStdString();
    }
}

TEST_F(AccountsEditor, TestButtonUsesTheTypedValuesAndRefusesANonNumericPort) {
    AddAccount("imap.one.example", "anna");
    Select(0);
    Type(tab->txtPort, "14x3");
    dialogs.asked.clear();
    QTest::mouseClick(tab->cmdTestAcct, Qt::LeftButton);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, tx::kTestBadPort.str());
    EXPECT_EQ(dialogs.asked[0].title, tx::kTestTitle.str());
    session.boxes = {{"bert", 0, {}}};
    Type(tab->txtPort, "1143");
    Type(tab->txtUsername, "bert");
    QTest::mouseClick(tab->cmdTestAcct, Qt::LeftButton);
    EXPECT_EQ(dialogs.asked.back().text, tx::kTestWorks.str());
    EXPECT_THAT(session.calls, ::testing::Contains("SetPort(1143)"));
    EXPECT_THAT(session.calls, ::testing::Contains("Login(imap.one.example,bert,secret)"));
}

TEST_F(AccountsEditor, TestWithAnEmptyPortUsesTheProtocolsDefaultPort) {
    AddAccount("imap.one.example", "anna");
    Select(0);
    session.boxes = {{"anna", 0, {}}};
    Type(tab->txtPort, "");
    dialogs.asked.clear();
    QTest::mouseClick(tab->cmdTestAcct, Qt::LeftButton);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text, tx::kTestWorks.str());
    // Port 0 is what the mail check gives the session for an account without a port.
    EXPECT_THAT(session.calls, ::testing::Contains("SetPort(0)"));
}

TEST_F(AccountsEditor, EveryWayOutOfTheTestEndsTheBusyCursor) {
    AddAccount("imap.one.example", "anna");
    Select(0);
    const auto test = [&](const std::string& what) {
        QTest::mouseClick(tab->cmdTestAcct, Qt::LeftButton);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << what;
        while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
    };
    test("refused login");
    Type(tab->txtPort, "14x3");
    test("port not numeric");
    Type(tab->txtPort, "993");
    Type(tab->txtServer, "");
    test("no server");
    Type(tab->txtServer, "imap.one.example");
    tab->Bind(
        dialogs, [] { return static_cast<mail::MailSession*>(nullptr); }, path);
    test("no session yet");
}

}  // namespace
