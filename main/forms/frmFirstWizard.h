// The first-run wizard: six pages that collect the user and one mail account, a connection
// test, and the settings written on Finish. The window shows it modeless and waits until
// Finished is true.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

#include "main/core/FirstWizard.h"
#include "main/core/Seams.h"
#include "platform/mail/MailSession.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vellora::forms {

class frmFirstWizard : public QWidget {
    Q_OBJECT
  public:
    frmFirstWizard(mail::MailSession* session, core::Dialogs& dialogs, std::string settingsPath,
                   std::int16_t maxAcctID, QWidget* parent = nullptr);

    bool Finished = false;
    bool Cancelled = false;

    const core::FirstWizardModel& Model() const { return model_; }

    QLabel* lblInfo;
    QLabel* lblFld1;
    QLabel* lblFld2;
    QLineEdit* txtFld1;
    QLineEdit* txtFld2;
    QComboBox* cboFld1;
    QComboBox* cboFld2;
    QPushButton* cmdFld1;
    QPushButton* cmdFld2;
    QPushButton* cmdBack;
    QPushButton* cmdNext;
    QPushButton* cmdFinish;
    QPushButton* cmdCancel;

    void cmdNext_Click();
    void cmdBack_Click();
    void cmdFinish_Click();
    void cmdCancel_Click();
    void cmdFld_Click();

  signals:
    // Finished became true.
    void finished();

  protected:
    // Closing the window is a cancel: the window waiting for Finished must not wait forever.
    void closeEvent(QCloseEvent* event) override;

  private:
    void ShowPage();
    void ShowField(int field);
    void ReadFields();

    mail::MailSession* session_;  // none: the test button does nothing
    core::Dialogs& dialogs_;
    std::string path_;
    std::int16_t maxAcctID_;
    core::FirstWizardModel model_;
};

}  // namespace vellora::forms
