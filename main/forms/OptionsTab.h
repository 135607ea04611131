// Tab 4: SSTab2 with the options page and the attachment-types page. The option boxes keep
// the program's Options in step and write their keys at once when clicked.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>
#include <functional>
#include <string>

#include "main/core/Options.h"
#include "main/forms/AttTypesTab.h"

namespace vellora::forms {

class OptionsTab : public QWidget {
    Q_OBJECT
  public:
    OptionsTab(core::Options& options, QWidget* parent = nullptr);
    void SetTexts();
    void FillIntervalList();
    // Reads the option keys into the boxes (and so into the Options); the box handlers
    // write them back, as a click would.
    void LoadOptions(const std::string& settingsPath);
    void SetSettingsPath(const std::string& path) { settingsPath_ = path; }
    // The folder the autostart entry starts the program from.
    void SetAppFolder(const std::string& folder) { appFolder_ = folder; }
    // The window's loaded flag: the Office-2007 switch acts on the lists only after start-up.
    void SetLoadedQuery(std::function<bool()> loaded) { loaded_ = std::move(loaded); }
    // The autostart handler (also what a click runs); public for the window's tests.
    void chkAutoStart_Click();

  signals:
    // chkMS2007 changed after start-up: entry 0 of the three office lists follows.
    void office2007Switched(bool on);

  public:
    QTabWidget* SSTab2;
    AttTypesTab* attTypes;
    QCheckBox* chkAutoStart;
    QCheckBox* chkCnfExit;
    QCheckBox* chkMin2Tray;
    QComboBox* cboInterval;
    QCheckBox* chkLogStatus;
    QCheckBox* chkStartCheck;
    QCheckBox* chkTrimToFwdHeader;
    QLineEdit* txtFwdHeader;
    QCheckBox* chkErrEmail;
    QCheckBox* chkSuccEmail;
    QLineEdit* txtNotifyEmail;
    QCheckBox* chkAttErrPrint;
    QCheckBox* chkMS2007;
    QCheckBox* chkAcrobat;
    QLineEdit* txtAttCap;         // the most attachments one message may queue
    QLineEdit* txtTrustedServer;  // authserv-id of the user's mail server
    QPushButton* cmdVwJobErr;

  private:
    void ConnectFlag(QCheckBox* box, bool core::Options::*field, const std::string& key);
    void WriteFlag(const std::string& key, bool on);
    void WriteText(const std::string& key, const QString& text);
    void UpdateEnabled();

    core::Options& options_;
    std::string settingsPath_;
    std::string appFolder_;
    std::function<bool()> loaded_;
    QWidget* page_;
    QLabel* captionInterval_;
    QLabel* captionAttCap_;
    QLabel* captionTrusted_;
    QGroupBox* general_;
    QGroupBox* printing_;
    QGroupBox* notify_;
};

}  // namespace vellora::forms
