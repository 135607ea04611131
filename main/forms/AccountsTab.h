// The accounts tab: the list of mailboxes and the editor of one account. It holds the account
// array that the mail check reads.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

#include "main/core/AccountRecord.h"
#include "main/core/ItemLimit.h"
#include "main/core/Seams.h"
#include "platform/mail/MailSession.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace vellora::forms {

class AccountsTab : public QWidget {
    Q_OBJECT
  public:
    AccountsTab(core::Dialogs& dialogs, mail::MailSession& session, std::string settingsPath,
                QWidget* parent = nullptr);

    // Start-up: reads the array and fills the list.
    void LoadAccounts();
    void RefreshAccountList();

    core::AccountArray& Accounts() { return accounts_; }
    std::int16_t MaxAcctID() const { return maxAcctID_; }
    std::int16_t ItemLimit() const { return itemLimit_; }
    void SetItemLimit(std::int16_t limit) { itemLimit_ = limit; }
    bool Dirty() const;
    void ForgetRemembered() { remembered_ = -1; }

    // Tab change: the question about unsaved edits, then, when this tab becomes current, the
    // reset editor and the keyboard order.
    void AskAboutUnsavedChange();
    void EnterTab();

    // The named controls.
    QListWidget* lstAccounts;
    QListWidget* lstAcctID;  // hidden, parallel to lstAccounts
    QLabel* lblAcctID;
    QLineEdit* txtServer;
    QLineEdit* txtPort;
    QLineEdit* txtUsername;
    QLineEdit* txtPassword;
    QRadioButton* optIMAP;
    QRadioButton* optPOP;
    QCheckBox* chkSSL;
    QCheckBox* chkEncPW;
    QCheckBox* chkNTLM;
    QRadioButton* optPAll;
    QRadioButton* optPNew;
    QLabel* picSeePW;
    QPushButton* cmdNewAcct;
    QPushButton* cmdDupeAcct;
    QPushButton* cmdDelAcct;
    QPushButton* cmdSaveAcct;
    QPushButton* cmdTestAcct;

    void lstAccounts_Click();
    void cmdNewAcct_Click();
    void cmdDupeAcct_Click();
    void cmdSaveAcct_Click();
    void cmdDelAcct_Click();
    void cmdTestAcct_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void ConnectControls();
    void SetDirty(bool dirty);
    bool AskSaveChanged();  // true when the edits were saved or dropped
    void FillEditor(const core::AccountRecord& a);
    void ClearEditor();
    void EnableEditor(bool on);
    void SelectRow(int row);
    int FindById(int id) const;  // 0-based index or -1
    bool Validate();
    core::AccountRecord EditedRecord(std::int16_t id) const;
    void ShowLimit(const std::string& text, const std::string& title);
    void LogTrapped(const std::string& prefix, const char* what);

    core::Dialogs& dialogs_;
    mail::MailSession& session_;
    std::string path_;
    core::AccountArray accounts_;
    std::int16_t maxAcctID_ = 0;
    std::int16_t itemLimit_ = core::kDefaultItemLimit;
    int remembered_ = -1;
    int shownRow_ = -1;     // the line whose account the editor shows
    bool filling_ = false;  // the editor is being filled: no change marking
    QButtonGroup* protocolGroup_;
    QButtonGroup* printGroup_;
};

}  // namespace vellora::forms
