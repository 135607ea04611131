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
    QPushButton* cmdVwJobErr;

  private:
    void ConnectFlag(QCheckBox* box, bool core::Options::*field, const std::string& key);
    void WriteFlag(const std::string& key, bool on);
    void WriteText(const std::string& key, const QString& text);
    void UpdateEnabled();

    core::Options& options_;
    std::string settingsPath_;
    QWidget* page_;
    QLabel* captionInterval_;
    QGroupBox* general_;
    QGroupBox* printing_;
    QGroupBox* notify_;
};

}  // namespace vellora::forms
