// Tab 1: the mailboxes, their list and the account editor. It holds the account array that
// the mail check reads, and the editing commands: New, Duplicate, Save, Delete and Test.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "main/core/AccountRecord.h"
#include "main/core/ItemLimit.h"
#include "main/core/Seams.h"
#include "platform/mail/MailSession.h"

class QButtonGroup;

namespace vellora::forms {

class AccountsTab : public QWidget {
    Q_OBJECT
  public:
    explicit AccountsTab(QWidget* parent = nullptr);
    void SetTexts();
    // What the editing commands need: the message boxes, the mail session for the test (it
    // exists only once the window has loaded) and the settings file.
    void Bind(core::Dialogs& dialogs, std::function<mail::MailSession*()> session,
              std::string settingsPath);

    // Start-up: reads the array and fills the list.
    void LoadAccounts();
    void RefreshAccountList();

    core::AccountArray& Accounts() { return accounts_; }
    std::int16_t MaxAcctID() const { return maxAcctID_; }
    std::int16_t ItemLimit() const { return itemLimit_; }
    void SetItemLimit(std::int16_t limit) { itemLimit_ = limit; }
    bool Dirty() const;

    // Tab change: the question about unsaved edits, then, when this tab becomes current, the
    // reset editor and the keyboard order.
    void AskAboutUnsavedChange();
    void EnterTab();

    QListWidget* lstAccounts;
    QListWidget* lstAcctID;  // hidden, parallel to lstAccounts
    QLabel* lblAcctID;
    QLineEdit* txtServer;
    QLineEdit* txtPort;
    QLineEdit* txtUsername;
    QLineEdit* txtPassword;
    QToolButton* picSeePW;
    QRadioButton* optIMAP;
    QRadioButton* optPOP;
    QCheckBox* chkSSL;
    QCheckBox* chkEncPW;
    QCheckBox* chkNTLM;
    QRadioButton* optPAll;
    QRadioButton* optPNew;
    QPushButton* cmdNewAcct;
    QPushButton* cmdDupeAcct;
    QPushButton* cmdDelAcct;
    QPushButton* cmdSaveAcct;
    QPushButton* cmdTestAcct;

    int rememberedIndex = -1;  // the line last put into the editor by New or Duplicate

    void lstAccounts_Click();
    void cmdNewAcct_Click();
    void cmdDupeAcct_Click();
    void cmdSaveAcct_Click();
    void cmdDelAcct_Click();
    void cmdTestAcct_Click();

  private:
    void ConnectControls();
    void ApplyTabOrder();
    void SetDirty(bool dirty);
    bool AskSaveChanged();
    void FillEditor(const core::AccountRecord& a);
    void ClearEditor();
    void EnableEditor(bool on);
    void SelectRow(int row);
    int FindById(int id) const;  // 0-based index or -1
    bool Validate();
    core::AccountRecord EditedRecord(std::int16_t id) const;
    void ShowLimit(const std::string& text, const std::string& title);
    void LogTrapped(const std::string& prefix, const char* what);

    QLabel* captionId_;
    QLabel* captionServer_;
    QLabel* captionPort_;
    QLabel* captionUser_;
    QLabel* captionPassword_;
    QGroupBox* protocol_;
    QGroupBox* security_;
    QGroupBox* printWhat_;
    QGroupBox* editor_;

    core::Dialogs* dialogs_ = nullptr;
    std::function<mail::MailSession*()> session_;
    std::string path_;
    core::AccountArray accounts_;
    std::int16_t maxAcctID_ = 0;
    std::int16_t itemLimit_ = core::kDefaultItemLimit;
    int shownRow_ = -1;     // the line whose account the editor shows
    bool filling_ = false;  // the editor is being filled: no change marking
    QButtonGroup* protocolGroup_;
    QButtonGroup* printGroup_;
};

}  // namespace vellora::forms
