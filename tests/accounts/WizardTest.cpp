// The first-run wizard, driven through its controls.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "main/core/Accounts.h"
#include "main/core/MainTexts.h"
#include "main/forms/frmFirstWizard.h"
#include "shared/AppFolder.h"
#include "shared/StoredPassword.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/accounts/Dialogs.h"
#include "tests/accounts/Fakes.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora;
namespace tx = vellora::core::texts;
namespace st = vellora::texts;

class Wizard : public ::testing::Test {
  protected:
    void SetUp() override {
        SetAppFolderForTesting(dir.path());
        wizard = std::make_unique<forms::frmFirstWizard>(&session, dialogs, path, 0);
        wizard->show();
    }
    void TearDown() override {
        wizard.reset();
        SetAppFolderForTesting("");
    }
    void Type(QLineEdit* e, const QString& text) {
        e->clear();
        QTest::keyClicks(e, text);
    }
    void Choose(QComboBox* c, const std::string& text) {
        c->setCurrentIndex(c->findText(QString::fromStdString(text)));
    }
    void Next() { QTest::mouseClick(wizard->cmdNext, Qt::LeftButton); }
    void Back() { QTest::mouseClick(wizard->cmdBack, Qt::LeftButton); }
    int Page() const { return wizard->Model().Current(); }
    std::string General(const std::string& key) {
        return basINI_IO::ReadSettingText(path, st::kGeneralSection, key);
    }
    std::int32_t Acct(const std::string& key) {
        return basINI_IO::ReadSettingNumber(path, core::AccountSection(1), key);
    }
    // Fills every page for an account of this protocol and SSL choice and finishes.
    void FinishWith(const std::string& protocol, const std::string& ssl) {
        Type(wizard->txtFld1, "Anna Example");
        Type(wizard->txtFld2, "anna@example.org");
        Next();
        Type(wizard->txtFld1, "mail.example.org");
        Choose(wizard->cboFld2, protocol);
        Next();
        Type(wizard->txtFld1, "anna");
        Type(wizard->txtFld2, "pw");
        Next();
        Choose(wizard->cboFld1, ssl);
        Choose(wizard->cboFld2, tx::kWizChoiceNo);
        Next();
        Next();
        QTest::mouseClick(wizard->cmdFinish, Qt::LeftButton);
    }

    vtest::TempDir dir{"acct-wiz"};
    std::string path = dir / "vellora.ini";
    vtest::AnsweringDialogs dialogs;
    vtest::ScriptedSession session;
    std::unique_ptr<forms::frmFirstWizard> wizard;
};

TEST_F(Wizard, PagesShowTheirFieldKindsAndButtons) {
    EXPECT_FALSE(wizard->cmdBack->isEnabled());
    EXPECT_TRUE(wizard->cmdNext->isEnabled());
    EXPECT_FALSE(wizard->cmdFinish->isEnabled());
    EXPECT_TRUE(wizard->txtFld1->isVisible() && wizard->txtFld2->isVisible());
    EXPECT_FALSE(wizard->cboFld1->isVisible() || wizard->cmdFld2->isVisible());
    Next();
    EXPECT_TRUE(wizard->txtFld1->isVisible() && wizard->cboFld2->isVisible());
    EXPECT_FALSE(wizard->txtFld2->isVisible());
    EXPECT_EQ(wizard->cboFld2->count(), 2);
    Next();
    EXPECT_EQ(wizard->txtFld2->echoMode(), QLineEdit::Password);
    Next();
    EXPECT_TRUE(wizard->cboFld1->isVisible() && wizard->cboFld2->isVisible());
    Next();
    EXPECT_FALSE(wizard->lblFld1->isVisible() || wizard->txtFld1->isVisible() ||
                 wizard->cboFld1->isVisible() || wizard->cmdFld1->isVisible());
    EXPECT_TRUE(wizard->cmdFld2->isVisible());
    EXPECT_FALSE(wizard->lblFld2->isVisible());
    EXPECT_EQ(wizard->cmdFld2->text().toStdString(), tx::kWizLabel5b.str());
    Next();
    EXPECT_EQ(Page(), 6);
    EXPECT_EQ(wizard->cboFld1->currentText().toStdString(), tx::kWizChoiceNo.str());
    EXPECT_FALSE(wizard->cmdNext->isEnabled());
    EXPECT_TRUE(wizard->cmdFinish->isEnabled());
    Next();  // disabled: stays
    EXPECT_EQ(Page(), 6);
    for (int i = 0; i < 7; ++i) Back();
    EXPECT_EQ(Page(), 1);
}

TEST_F(Wizard, PresetRowTwoFillsPop3AndThePartBeforeTheAt) {
    Type(wizard->txtFld2, "Max.Muster@WEB.de");
    Next();
    EXPECT_EQ(wizard->txtFld1->text().toStdString(), tx::kPreset2Host.str());
    EXPECT_EQ(wizard->cboFld2->currentText().toStdString(), tx::kWizChoicePop3.str());
    Next();
    EXPECT_EQ(wizard->txtFld1->text(), "max.muster");
    Next();
    EXPECT_EQ(wizard->cboFld1->currentText().toStdString(), tx::kWizChoiceYes.str());
    EXPECT_EQ(wizard->cboFld2->currentText().toStdString(), tx::kWizChoiceNo.str());
}

TEST_F(Wizard, PresetRowOneKeepsTheWholeAddressAndUnknownDomainsFillNothing) {
    Type(wizard->txtFld2, "Someone@Gmail.com");
    Next();
    EXPECT_EQ(wizard->cboFld2->currentText().toStdString(), tx::kWizChoiceImap.str());
    Next();
    EXPECT_EQ(wizard->txtFld1->text(), "Someone@Gmail.com");

    wizard = std::make_unique<forms::frmFirstWizard>(&session, dialogs, path, 0);
    Type(wizard->txtFld2, "someone@unknown.example");
    Next();
    EXPECT_TRUE(wizard->txtFld1->text().isEmpty());
    EXPECT_EQ(wizard->cboFld2->currentIndex(), -1);
}

TEST_F(Wizard, PresetsDoNotOverwriteATypedServer) {
    Type(wizard->txtFld2, "someone@unknown.example");
    Next();
    Type(wizard->txtFld1, "my.own.server");
    Back();
    Type(wizard->txtFld2, "someone@gmx.net");
    Next();
    EXPECT_EQ(wizard->txtFld1->text(), "my.own.server");
    EXPECT_EQ(wizard->cboFld2->currentIndex(), -1);
}

TEST_F(Wizard, ClearingAFieldKeepsTheOldValue) {
    Type(wizard->txtFld1, "Anna");
    Next();
    Back();
    wizard->txtFld1->clear();
    Next();
    Back();
    EXPECT_EQ(wizard->txtFld1->text(), "Anna");
}

TEST_F(Wizard, FinishWritesThePortOfEachProtocolAndSecurity) {
    const struct {
        std::string protocol, ssl;
        int port, imap, pop, sslFlag;
    } cases[] = {{tx::kWizChoiceImap, tx::kWizChoiceYes, 993, 1, 0, 1},
                 {tx::kWizChoiceImap, tx::kWizChoiceNo, 143, 1, 0, 0},
                 {tx::kWizChoicePop3, tx::kWizChoiceYes, 995, 0, 1, 1},
                 {tx::kWizChoicePop3, tx::kWizChoiceNo, 110, 0, 1, 0}};
    for (const auto& c : cases) {
        wizard = std::make_unique<forms::frmFirstWizard>(&session, dialogs, path, 0);
        FinishWith(c.protocol, c.ssl);
        EXPECT_TRUE(wizard->Finished);
        EXPECT_FALSE(wizard->Cancelled);
        EXPECT_EQ(Acct(st::kKeyAcctPort), c.port) << c.protocol << c.ssl;
        EXPECT_EQ(Acct(st::kKeyAcctImap), c.imap);
        EXPECT_EQ(Acct(st::kKeyAcctPop), c.pop);
        EXPECT_EQ(Acct(st::kKeyAcctSsl), c.sslFlag);
    }
    EXPECT_EQ(General(st::kKeyUserName), "Anna Example");
    EXPECT_EQ(General(st::kKeyUserEmail), "anna@example.org");
    EXPECT_EQ(Acct(st::kKeyAcctId), 1);
    EXPECT_EQ(Acct(st::kKeyAcctNtlm), 0);
    EXPECT_EQ(Acct(st::kKeyAcctPrintAll), 0);
    EXPECT_EQ(Acct(st::kKeyAcctPrintNew), 1);
    EXPECT_EQ(Acct(st::kKeyAcctLastMsg), -1);
    EXPECT_EQ(Acct(st::kKeyAcctEncLogin), -1);
    EXPECT_EQ(password::Read(
                  basINI_IO::ReadSettingText(path, core::AccountSection(1), st::kKeyAcctPassword)),
              "pw");
    const core::LoadedAccounts loaded = core::LoadAccounts(path, 50);
    ASSERT_EQ(loaded.accounts.size(), 1u);
    EXPECT_EQ(loaded.accounts[0].user, "anna");
    EXPECT_EQ(loaded.accounts[0].server, "mail.example.org");
}

TEST_F(Wizard, ApplicationChoicesOfTheLastPageAreWritten) {
    for (int i = 0; i < 5; ++i) Next();
    Choose(wizard->cboFld1, tx::kWizChoiceYes);
    QTest::mouseClick(wizard->cmdFinish, Qt::LeftButton);
    EXPECT_EQ(basINI_IO::ReadSettingNumber(path, st::kGeneralSection, st::kKeyOffice2007), 1);
    EXPECT_EQ(basINI_IO::ReadSettingNumber(path, st::kGeneralSection, st::kKeyUseViewer), 0);
}

TEST_F(Wizard, AnEmptyAddressStillStoresTheKey) {
    for (int i = 0; i < 5; ++i) Next();
    QTest::mouseClick(wizard->cmdFinish, Qt::LeftButton);
    EXPECT_EQ(General(st::kKeyUserEmail), "");
    EXPECT_EQ(Acct(st::kKeyAcctPort), 0);
    EXPECT_EQ(Acct(st::kKeyAcctImap), 0);
    EXPECT_EQ(Acct(st::kKeyAcctPop), 0);
}

TEST_F(Wizard, CancelOnAnyPageEndsWithoutWriting) {
    for (int page = 1; page <= 6; ++page) {
        wizard = std::make_unique<forms::frmFirstWizard>(&session, dialogs, path, 0);
        wizard->show();
        Type(wizard->txtFld2, "anna@gmail.com");
        for (int i = 1; i < page; ++i) Next();
        ASSERT_EQ(Page(), page);
        QTest::mouseClick(wizard->cmdCancel, Qt::LeftButton);
        EXPECT_TRUE(wizard->Finished);
        EXPECT_TRUE(wizard->Cancelled);
        EXPECT_FALSE(wizard->isVisible());
    }
    // Closing the window counts as a cancel.
    wizard = std::make_unique<forms::frmFirstWizard>(&session, dialogs, path, 0);
    wizard->show();
    wizard->close();
    EXPECT_TRUE(wizard->Finished && wizard->Cancelled);
    EXPECT_FALSE(vtest::Exists(path));
}

TEST_F(Wizard, TestButtonReportsEachOutcome) {
    Next();
    Next();
    Next();
    Next();
    QTest::mouseClick(wizard->cmdFld2, Qt::LeftButton);  // no protocol chosen yet
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{tx::kWizNoProtocol, tx::kWizTestFailed}));
    Back();
    Back();
    Type(wizard->txtFld1, "anna");
    Type(wizard->txtFld2, "pw");
    Back();
    Type(wizard->txtFld1, "mail.example.org");
    Choose(wizard->cboFld2, tx::kWizChoicePop3);
    Next();
    Next();
    Choose(wizard->cboFld1, tx::kWizChoiceYes);
    Next();
    dialogs.asked.clear();
    session.sslCode = mail::kTlsFailed;
    QTest::mouseClick(wizard->cmdFld2, Qt::LeftButton);
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{tx::kWizSslFailed, tx::kWizTestFailed}));
    EXPECT_THAT(session.calls, ::testing::Contains("SetPort(995)"));
    session.sslCode = 0;
    dialogs.asked.clear();
    QTest::mouseClick(wizard->cmdFld2, Qt::LeftButton);
    EXPECT_EQ(dialogs.Texts(),
              (std::vector<std::string>{tx::kWizCannotConnect, tx::kWizTestFailed}));
    session.boxes = {{"anna", 0, {}}};
    dialogs.asked.clear();
    QTest::mouseClick(wizard->cmdFld2, Qt::LeftButton);
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{tx::kWizAccountOk}));
    EXPECT_THAT(session.calls, ::testing::Contains("Login(mail.example.org,anna,pw)"));
}

TEST_F(Wizard, EveryPresetSendsThePasswordOnlyOverTls) {
    // Each provider of the presets takes logins only over TLS, on its TLS port.
    const struct {
        const char* address;
        std::int32_t port;
    } cases[] = {{"anna@gmail.com", 993},
                 {"anna@web.de", 995},
                 {"anna@aol.com", 993},
                 {"anna@gmx.net", 995}};
    for (const auto& c : cases) {
        basINI_IO::WriteSettingText(std::nullopt, path, core::AccountSection(1), std::nullopt);
        wizard = std::make_unique<forms::frmFirstWizard>(&session, dialogs, path, 0);
        wizard->show();
        session.calls.clear();
        Type(wizard->txtFld2, c.address);
        for (int page = 1; page < 5; ++page) Next();
        QTest::mouseClick(wizard->cmdFld2, Qt::LeftButton);
        EXPECT_THAT(session.calls, ::testing::Contains("InitSsl")) << c.address;
        EXPECT_THAT(session.calls, ::testing::Contains("SetPort(" + std::to_string(c.port) + ")"))
            << c.address;
        Next();
        QTest::mouseClick(wizard->cmdFinish, Qt::LeftButton);
        EXPECT_EQ(Acct(st::kKeyAcctSsl), 1) << c.address;
        EXPECT_EQ(Acct(st::kKeyAcctPort), c.port) << c.address;
    }
}

}  // namespace
