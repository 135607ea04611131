// The road so far, in one process: the main window starts on a fresh installation folder,
// the first-run wizard is finished through its controls against a real Dovecot (the wizard
// only knows the well-known ports, so the test runs in a private network where they are
// free), and the timer's mail checks report what arrives.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "main/core/Accounts.h"
#include "main/core/MainTexts.h"
#include "main/core/ScriptedDialogs.h"
#include "main/forms/AccountsWiring.h"
#include "main/forms/JobsWiring.h"
#include "main/forms/frmFirstWizard.h"
#include "main/forms/frmTavro.h"
#include "platform/mail/MailFactory.h"
#include "platform/print/FakePrintSystem.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/accounts/Fakes.h"
#include "tests/accounts/LocalNet.h"
#include "tests/support/Dovecot.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora;
using ::testing::HasSubstr;
namespace tx = vellora::core::texts;

std::string Raw(const std::string& subject) {
    return "From: Sender <sender@example.org>\r\nSubject: " + subject + "\r\n\r\nHello\r\n";
}

// A tray that is never there: the window minimises normally. The window owns it.
class NoTray : public forms::TrayIcon {
  public:
    bool Available() const override { return false; }
    void Add() override {}
    void Delete() override {}
    bool Shown() const override { return false; }
    void SetTip(const QString&) override {}
    void SetIcon(const QIcon&) override {}
};

struct Launches : core::Launcher {
    std::vector<std::string> lines;
    bool Launch(const std::string& cmdLine) override {
        lines.push_back(cmdLine);
        return true;
    }
};

forms::frmFirstWizard* FindWizard() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* wizard = qobject_cast<forms::frmFirstWizard*>(w); wizard && wizard->isVisible())
            return wizard;
    }
    return nullptr;
}

// Works through the six pages as a user would, testing the account on page 5.
void FillWizard(forms::frmFirstWizard& w, const std::string& user, bool cancel) {
    const auto type = [](QLineEdit* e, const QString& t) {
        e->clear();
        QTest::keyClicks(e, t);
    };
    const auto choose = [](QComboBox* c, const std::string& t) {
        c->setCurrentIndex(c->findText(QString::fromStdString(t)));
    };
    type(w.txtFld1, "Anna Example");
    type(w.txtFld2, QString::fromStdString(user) + "@example.org");
    QTest::mouseClick(w.cmdNext, Qt::LeftButton);
    type(w.txtFld1, "127.0.0.1");
    choose(w.cboFld2, tx::kWizChoiceImap);
    QTest::mouseClick(w.cmdNext, Qt::LeftButton);
    type(w.txtFld1, QString::fromStdString(user));
    type(w.txtFld2, "anna-pw");
    QTest::mouseClick(w.cmdNext, Qt::LeftButton);
    choose(w.cboFld1, tx::kWizChoiceNo);
    choose(w.cboFld2, tx::kWizChoiceNo);
    QTest::mouseClick(w.cmdNext, Qt::LeftButton);
    QTest::mouseClick(w.cmdFld2, Qt::LeftButton);
    QTest::mouseClick(w.cmdNext, Qt::LeftButton);
    QTest::mouseClick(cancel ? w.cmdCancel : w.cmdFinish, Qt::LeftButton);
}

class WholeRoad : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("VELLORA_FOLDER", dir.path().c_str(), 1);
        SetAppFolderForTesting("");
    }
    void TearDown() override { unsetenv("VELLORA_FOLDER"); }

    // Starts the window; the wizard is driven from the event loop it waits in.
    forms::frmTavro::LoadResult Start(forms::frmTavro& window, const std::string& user,
                                      bool cancel) {
        window.hooks().makeSession = [] { return mail::CreateMailSession(); };
        window.hooks().makeMessage = [] { return mail::CreateMailMessage(); };
        bool drove = false;
        QTimer::singleShot(0, [&] {
            if (forms::frmFirstWizard* w = FindWizard()) {
                FillWizard(*w, user, cancel);
                drove = true;
            }
        });
        const auto result = window.Form_Load();
        EXPECT_TRUE(drove);
        return result;
    }

    vtest::TempDir dir{"acct-road"};
    core::ScriptedDialogs dialogs;
    core::FakeClock clock;
    vtest::RecordingHandling handling;
};

TEST_F(WholeRoad, WizardAgainstDovecotThenTheTimersChecksReportTheNewMail) {
    vtest::Dovecot dovecot;
    vtest::TcpRelay imap(143, dovecot.imapPort());
    dovecot.AddUser("anna", "anna-pw");
    dovecot.AddMessage("anna", Raw("already there 1"));
    dovecot.AddMessage("anna", Raw("already there 2"));

    forms::frmTavro window({&clock, &dialogs, nullptr, nullptr, new NoTray});
    forms::AccountsWiring wiring(window, &handling);
    ASSERT_EQ(Start(window, "anna", false), forms::frmTavro::LoadResult::Loaded);
    // The wizard's test logged in through the real session.
    ASSERT_FALSE(dialogs.asked().empty());
    EXPECT_EQ(dialogs.asked().back().text, tx::kWizAccountOk.str());
    window.show();
    ASSERT_EQ(window.accountsTab->lstAccounts->count(), 1);
    EXPECT_EQ(window.accountsTab->lstAccounts->item(0)->text(), "127.0.0.1 - anna");
    ASSERT_NE(wiring.MailCheck(), nullptr);

    // First check, one interval later: print new stores the newest and reports none.
    clock.Advance(std::chrono::minutes(10));
    window.tmrMailCheck_Timer();
    const std::string& log = window.Status().Text(core::StatusBox::Mail);
    EXPECT_THAT(log, HasSubstr("127.0.0.1 - anna: 0 new message(s)"));
    EXPECT_TRUE(handling.matched.empty());

    dovecot.AddMessage("anna", Raw("fresh one"));
    dovecot.AddMessage("anna", Raw("fresh two"));
    clock.Advance(std::chrono::minutes(10));
    // A timer tick delivered while the check yields runs, but starts no second check.
    int ticksDuringCheck = 0;
    bool checkWasRunning = false;
    QTimer::singleShot(0, [&] {
        ++ticksDuringCheck;
        checkWasRunning = wiring.MailCheck()->Running();
        window.tmrMailCheck_Timer();
    });
    window.tmrMailCheck_Timer();
    EXPECT_EQ(ticksDuringCheck, 1);
    EXPECT_TRUE(checkWasRunning);
    EXPECT_THAT(window.Status().Text(core::StatusBox::Mail),
                HasSubstr("127.0.0.1 - anna: 2 new message(s)"));
    EXPECT_THAT(handling.matched,
                ::testing::ElementsAre("127.0.0.1 - anna|fresh one", "127.0.0.1 - anna|fresh two"));
    const std::string mailLog = window.Status().Text(core::StatusBox::Mail);
    EXPECT_EQ(mailLog.find("2 new"), mailLog.rfind("2 new"));
    EXPECT_EQ(window.Status().Text(core::StatusBox::Error), "");
    window.close();
}

// The same road with the program's own rules and job creation behind the check: the default
// rule takes every new message, and each one becomes a queued job.
TEST_F(WholeRoad, WithTheRulesTheNewMailBecomesQueuedJobs) {
    vtest::Dovecot dovecot;
    vtest::TcpRelay imap(143, dovecot.imapPort());
    dovecot.AddUser("bert", "anna-pw");
    Launches launcher;
    print::FakePrintSystem printers;
    printers.printers = {"Laser"};
    printers.defaultPrinter = "Laser";
    forms::frmTavro window({&clock, &dialogs, &launcher, nullptr, new NoTray});
    forms::AccountsWiring accounts(window, nullptr);
    forms::JobsWiring jobs(window, printers);
    accounts.SetMessageHandling(&jobs);
    ASSERT_EQ(Start(window, "bert", false), forms::frmTavro::LoadResult::Loaded);
    clock.Advance(std::chrono::minutes(10));
    window.tmrMailCheck_Timer();
    dovecot.AddMessage("bert", Raw("for the printer"));
    clock.Advance(std::chrono::minutes(10));
    window.tmrMailCheck_Timer();
    const std::string& log = window.Status().Text(core::StatusBox::Mail);
    EXPECT_THAT(log, HasSubstr("127.0.0.1 - bert: 1 new message(s)"));
    EXPECT_THAT(log,
                HasSubstr("127.0.0.1 - bert" + tx::kCheckProcessing.str() + "for the printer"));
    EXPECT_EQ(jobs.Jobs().queue.size(), 1u);
    EXPECT_EQ(window.Status().Text(core::StatusBox::Error), "");
    window.close();
}

TEST_F(WholeRoad, CancellingTheWizardEndsBeforeTheWindowShows) {
    forms::frmTavro window({&clock, &dialogs, nullptr, nullptr, new NoTray});
    forms::AccountsWiring wiring(window, &handling);
    EXPECT_EQ(Start(window, "anna", true), forms::frmTavro::LoadResult::Ended);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(wiring.MailCheck(), nullptr);
    EXPECT_EQ(basINI_IO::ReadSettingText(basINI_IO::SettingsPath(), texts::kGeneralSection,
                                         texts::kKeyUserEmail),
              basINI_IO::MissingValue());
}

TEST_F(WholeRoad, TabChangeAsksAboutUnsavedEditsAndResetsTheEditor) {
    const std::string path = basINI_IO::SettingsPath();
    basINI_IO::WriteSettingText("anna@example.org", path, texts::kGeneralSection,
                                texts::kKeyUserEmail.str());
    core::AccountRecord a;
    a.id = 4;
    a.imap = true;
    a.server = "imap.example.org";
    a.port = 143;
    a.user = "anna";
    a.password = "pw";
    core::SaveAccounts(path, {a});
    forms::frmTavro window({&clock, &dialogs, nullptr, nullptr, new NoTray});
    forms::AccountsWiring wiring(window, &handling);
    ASSERT_EQ(window.Form_Load(), forms::frmTavro::LoadResult::Loaded);
    window.show();
    forms::AccountsTab& tab = *window.accountsTab;
    EXPECT_EQ(tab.MaxAcctID(), 4);

    window.SSTab1->setCurrentIndex(1);
    EXPECT_FALSE(tab.txtServer->isEnabled());
    tab.lstAccounts->setCurrentRow(0);
    EXPECT_EQ(tab.txtServer->text(), "imap.example.org");
    QTest::keyClicks(tab.txtServer, "x");
    ASSERT_TRUE(tab.Dirty());
    const std::size_t before = dialogs.asked().size();
    dialogs.AnswerMessage(core::MsgResult::No);
    window.SSTab1->setCurrentIndex(2);
    ASSERT_EQ(dialogs.asked().size(), before + 1);
    EXPECT_THAT(dialogs.asked().back().text, HasSubstr("imap.example.orgx - anna"));
    EXPECT_FALSE(tab.Dirty());
    window.SSTab1->setCurrentIndex(1);
    EXPECT_EQ(tab.lstAccounts->currentRow(), -1);
    EXPECT_TRUE(tab.txtServer->text().isEmpty());
    EXPECT_EQ(tab.Accounts().at(0).server, "imap.example.org");
    window.close();
}

}  // namespace

int main(int argc, char** argv) {
    // Before any thread: the whole process, Dovecot included, gets a loopback of its own.
    const std::string netError = vtest::EnterPrivateNetwork();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (!netError.empty()) {
        std::fprintf(stderr, "no private network for the test: %s\n", netError.c_str());
        return 1;
    }
    return RUN_ALL_TESTS();
}
