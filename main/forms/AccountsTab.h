// Tab 1: the mailboxes, their list and the account editor. The layout and the named
// controls live here; the editing commands are connected by the accounts code.
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

namespace vellora::forms {

class AccountsTab : public QWidget {
    Q_OBJECT
  public:
    explicit AccountsTab(QWidget* parent = nullptr);
    void SetTexts();

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

  private:
    QLabel* captionId_;
    QLabel* captionServer_;
    QLabel* captionPort_;
    QLabel* captionUser_;
    QLabel* captionPassword_;
    QGroupBox* protocol_;
    QGroupBox* security_;
    QGroupBox* printWhat_;
    QGroupBox* editor_;
};

}  // namespace vellora::forms
