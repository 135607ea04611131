#include "main/forms/OptionsTab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "main/core/Autostart.h"
#include "main/core/MainTexts.h"
#include "main/forms/Named.h"
#include "main/forms/QtText.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modWriteLog.h"

namespace vellora::forms {
namespace tx = core::texts;
namespace st = vellora::texts;

OptionsTab::OptionsTab(core::Options& options, QWidget* parent)
    : QWidget(parent), options_(options), appFolder_(AppFolder()) {
    setObjectName(QStringLiteral("OptionsTab"));
    SSTab2 = Named<QTabWidget>("SSTab2", this);
    page_ = new QWidget(SSTab2);
    page_->setObjectName(QStringLiteral("OptionsPage"));
    attTypes = new AttTypesTab(SSTab2);
    SSTab2->addTab(page_, QString());
    SSTab2->addTab(attTypes, QString());

    general_ = new QGroupBox(page_);
    chkAutoStart = Named<QCheckBox>("chkAutoStart", general_);
    chkCnfExit = Named<QCheckBox>("chkCnfExit", general_);
    chkMin2Tray = Named<QCheckBox>("chkMin2Tray", general_);
    chkStartCheck = Named<QCheckBox>("chkStartCheck", general_);
    chkLogStatus = Named<QCheckBox>("chkLogStatus", general_);
    captionInterval_ = new QLabel(general_);
    cboInterval = Named<QComboBox>("cboInterval", general_);
    cboInterval->setEditable(true);
    cboInterval->setInsertPolicy(QComboBox::NoInsert);
    cboInterval->setMinimumContentsLength(4);
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(captionInterval_);
    intervalRow->addWidget(cboInterval);
    intervalRow->addStretch();
    auto* generalLayout = new QVBoxLayout(general_);
    generalLayout->addLayout(intervalRow);
    for (QWidget* w : {chkStartCheck, chkAutoStart, chkMin2Tray, chkCnfExit, chkLogStatus})
        generalLayout->addWidget(w);

    printing_ = new QGroupBox(page_);
    chkTrimToFwdHeader = Named<QCheckBox>("chkTrimToFwdHeader", printing_);
    txtFwdHeader = Named<QLineEdit>("txtFwdHeader", printing_);
    chkAttErrPrint = Named<QCheckBox>("chkAttErrPrint", printing_);
    chkMS2007 = Named<QCheckBox>("chkMS2007", printing_);
    chkAcrobat = Named<QCheckBox>("chkAcrobat", printing_);
    txtAttCap = Named<QLineEdit>("txtAttCap", printing_);
    txtAttCap->setValidator(new QIntValidator(1, core::kMaxAttachmentCap, txtAttCap));
    txtAttCap->setMaximumWidth(80);
    captionAttCap_ = new QLabel(printing_);
    txtTrustedServer = Named<QLineEdit>("txtTrustedServer", printing_);
    captionTrusted_ = new QLabel(printing_);
    cmdVwJobErr = Named<QPushButton>("cmdVwJobErr", printing_);
    auto* printingLayout = new QVBoxLayout(printing_);
    printingLayout->addWidget(chkTrimToFwdHeader);
    printingLayout->addWidget(txtFwdHeader);
    for (QWidget* w : {chkAttErrPrint, chkMS2007, chkAcrobat}) printingLayout->addWidget(w);
    auto* capRow = new QHBoxLayout;
    capRow->addWidget(captionAttCap_);
    capRow->addWidget(txtAttCap);
    capRow->addStretch();
    printingLayout->addLayout(capRow);
    printingLayout->addWidget(captionTrusted_);
    printingLayout->addWidget(txtTrustedServer);
    auto* jobRow = new QHBoxLayout;
    jobRow->addStretch();
    jobRow->addWidget(cmdVwJobErr);
    printingLayout->addLayout(jobRow);

    notify_ = new QGroupBox(page_);
    chkErrEmail = Named<QCheckBox>("chkErrEmail", notify_);
    chkSuccEmail = Named<QCheckBox>("chkSuccEmail", notify_);
    txtNotifyEmail = Named<QLineEdit>("txtNotifyEmail", notify_);
    auto* notifyLayout = new QVBoxLayout(notify_);
    notifyLayout->addWidget(chkErrEmail);
    notifyLayout->addWidget(chkSuccEmail);
    notifyLayout->addWidget(txtNotifyEmail);

    auto* grid = new QGridLayout(page_);
    grid->addWidget(general_, 0, 0);
    grid->addWidget(notify_, 1, 0);
    grid->addWidget(printing_, 0, 1, 2, 1);
    grid->setRowStretch(2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab2);

    ConnectFlag(chkCnfExit, &core::Options::confirmExit, st::kKeyConfirmExit);
    ConnectFlag(chkMin2Tray, &core::Options::minimiseToTray, st::kKeyMinToTray);
    ConnectFlag(chkLogStatus, &core::Options::logStatus, st::kKeyLogStatus);
    ConnectFlag(chkStartCheck, &core::Options::checkAtStartup, st::kKeyCheckAtStart);
    ConnectFlag(chkAcrobat, &core::Options::usePdfViewer, st::kKeyUseViewer);
    ConnectFlag(chkTrimToFwdHeader, &core::Options::trimToFwdHeader, st::kKeyTrimFwd);
    ConnectFlag(chkErrEmail, &core::Options::notifyOnError, st::kKeyNotifyError);
    ConnectFlag(chkSuccEmail, &core::Options::notifyOnSuccess, st::kKeyNotifySuccess);
    ConnectFlag(chkMS2007, &core::Options::office2007, st::kKeyOffice2007);
    connect(chkMS2007, &QCheckBox::toggled, this, [this](bool on) {
        if (loaded_ && loaded_()) emit office2007Switched(on);
    });
    connect(chkAutoStart, &QCheckBox::toggled, this, [this] { chkAutoStart_Click(); });
    connect(chkAttErrPrint, &QCheckBox::toggled, this,
            [this](bool on) { options_.printAttErrorPage = on; });
    connect(txtFwdHeader, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!txtFwdHeader->isEnabled()) return;
        options_.fwdHeader = S(text);
        WriteText(st::kKeyFwdHeader, text);
    });
    connect(txtAttCap, &QLineEdit::textChanged, this, [this](const QString& text) {
        bool number = false;
        const int cap = text.toInt(&number);
        if (!number || cap < 1 || cap > core::kMaxAttachmentCap) return;
        options_.attachmentCap = cap;
        if (!settingsPath_.empty())
            basINI_IO::WriteSettingNumber(cap, settingsPath_, st::kGeneralSection,
                                          st::kKeyAttachmentCap);
    });
    connect(txtTrustedServer, &QLineEdit::textChanged, this, [this](const QString& text) {
        options_.trustedAuthServId = S(text.trimmed());
        WriteText(st::kKeyTrustedAuthServ, text.trimmed());
    });
    connect(txtNotifyEmail, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!txtNotifyEmail->isEnabled()) return;
        options_.notifyEmail = S(text);
        WriteText(st::kKeyNotifyEmail, text);
    });
    UpdateEnabled();
}

void OptionsTab::ConnectFlag(QCheckBox* box, bool core::Options::*field, const std::string& key) {
    connect(box, &QCheckBox::toggled, this, [this, field, key](bool on) {
        options_.*field = on;
        WriteFlag(key, on);
        UpdateEnabled();
    });
}

void OptionsTab::chkAutoStart_Click() {
    const bool on = chkAutoStart->isChecked();
    options_.startWithDesktop = on;
    int step = 10;
    try {
        // Without an autostart folder there is no entry to keep; the choice is still stored.
        if (!core::AutostartFolder().empty()) {
            step = 20;
            if (on) core::WriteAutostartEntry(appFolder_);
            step = 30;
            if (!on) core::RemoveAutostartEntry();
        }
        step = 40;
        WriteFlag(st::kKeyStartWithDesktop, on);
    } catch (const std::exception& e) {
        // The entry could not follow the box: the stored choice stays as it was.
        try {
            modWriteLog::WriteLog(tx::kAutoStartErrorPrefix.str() + std::to_string(step) +
                                  tx::kStepSeparator.str() + e.what());
        } catch (const modWriteLog::LogError&) {
        }
    }
}

void OptionsTab::WriteFlag(const std::string& key, bool on) {
    if (settingsPath_.empty()) return;
    basINI_IO::WriteSettingNumber(on ? 1 : 0, settingsPath_, st::kGeneralSection, key);
}

void OptionsTab::WriteText(const std::string& key, const QString& text) {
    if (settingsPath_.empty()) return;
    basINI_IO::WriteSettingText(S(text), settingsPath_, st::kGeneralSection, key);
}

void OptionsTab::UpdateEnabled() {
    txtFwdHeader->setEnabled(chkTrimToFwdHeader->isChecked());
    txtNotifyEmail->setEnabled(chkErrEmail->isChecked() || chkSuccEmail->isChecked());
}

void OptionsTab::FillIntervalList() {
    cboInterval->clear();
    for (int minutes : {0, 1, 2, 3, 4, 5, 10, 20, 30, 40, 50, 60})
        cboInterval->addItem(QString::number(minutes));
}

void OptionsTab::LoadOptions(const std::string& settingsPath) {
    settingsPath_ = settingsPath;
    const std::string general = st::kGeneralSection;
    auto flag = [&](const std::string& key) {
        const int v = basINI_IO::ReadSettingNumber(settingsPath_, general, key);
        return v != -1 && v != 0;
    };
    auto text = [&](const std::string& key) {
        const std::string v = basINI_IO::ReadSettingText(settingsPath_, general, key);
        return v == basINI_IO::MissingValue() ? std::string() : v;
    };
    // A stored 1 re-creates the entry; an entry placed by hand turns the option on.
    chkAutoStart->setChecked(flag(st::kKeyStartWithDesktop));
    if (!chkAutoStart->isChecked() && core::AutostartEntryExists()) chkAutoStart->setChecked(true);
    chkCnfExit->setChecked(flag(st::kKeyConfirmExit));
    chkMin2Tray->setChecked(flag(st::kKeyMinToTray));
    chkLogStatus->setChecked(flag(st::kKeyLogStatus));
    chkStartCheck->setChecked(flag(st::kKeyCheckAtStart));
    chkTrimToFwdHeader->setChecked(flag(st::kKeyTrimFwd));
    if (chkTrimToFwdHeader->isChecked()) txtFwdHeader->setText(Q(text(st::kKeyFwdHeader)));
    chkErrEmail->setChecked(flag(st::kKeyNotifyError));
    chkSuccEmail->setChecked(flag(st::kKeyNotifySuccess));
    if (chkErrEmail->isChecked() || chkSuccEmail->isChecked())
        txtNotifyEmail->setText(Q(text(st::kKeyNotifyEmail)));
    chkAcrobat->setChecked(flag(st::kKeyUseViewer));
    // The Office-2007 box belongs to the attachment lists' load, which comes next: it is
    // checked exactly when the stored flag is 1.
    chkMS2007->setChecked(
        basINI_IO::ReadSettingNumber(settingsPath_, general, st::kKeyOffice2007) == 1);
    {
        // Shown as stored, without writing back (an absent cap stays absent).
        const QSignalBlocker quietCap(txtAttCap), quietTrusted(txtTrustedServer);
        options_.attachmentCap = core::AttachmentCapFrom(
            basINI_IO::ReadSettingNumber(settingsPath_, general, st::kKeyAttachmentCap));
        txtAttCap->setText(QString::number(options_.attachmentCap));
        options_.trustedAuthServId = text(st::kKeyTrustedAuthServ);
        txtTrustedServer->setText(Q(options_.trustedAuthServId));
    }
    UpdateEnabled();
}

void OptionsTab::SetTexts() {
    SSTab2->setTabText(0, Q(tx::kTabOptions));
    SSTab2->setTabText(1, Q(tx::kTabAttTypes));
    general_->setTitle(Q(VL("Checking")));
    captionInterval_->setText(Q(tx::kIntervalCaption));
    cboInterval->setToolTip(Q(tx::kIntervalTip));
    chkStartCheck->setText(Q(VL("Check for mail at start-up")));
    chkAutoStart->setText(Q(VL("Start Vellora when I log in")));
    chkMin2Tray->setText(Q(VL("Minimise to the notification area")));
    chkCnfExit->setText(Q(VL("Ask before closing")));
    chkLogStatus->setText(Q(VL("Also write the status logs to a file")));
    printing_->setTitle(Q(VL("Printing")));
    chkTrimToFwdHeader->setText(Q(VL("Cut forwarded messages at this header line:")));
    chkAttErrPrint->setText(Q(VL("Print a notice for attachments that cannot be printed")));
    chkMS2007->setText(Q(VL("Recognise newer office file types")));
    chkAcrobat->setText(Q(VL("Print PDF files with the PDF viewer")));
    captionAttCap_->setText(Q(VL("Most attachments printed from one message:")));
    captionTrusted_->setText(
        Q(VL("My mail server's name in Authentication-Results (for rules on "
             "SenderAuthenticated):")));
    txtTrustedServer->setPlaceholderText(Q(VL("e.g. mx.example.com")));
    cmdVwJobErr->setText(Q(VL("Failed &jobs...")));
    notify_->setTitle(Q(VL("Notification e-mails")));
    chkErrEmail->setText(Q(VL("When something fails")));
    chkSuccEmail->setText(Q(VL("When a job has printed")));
    txtNotifyEmail->setPlaceholderText(Q(VL("send them to this address")));
}

}  // namespace vellora::forms
