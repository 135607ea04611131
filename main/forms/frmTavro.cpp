#include "main/forms/frmTavro.h"

#include <QCloseEvent>
#include <QEvent>
#include <QWindowStateChangeEvent>
#include <cstdlib>

#include "main/core/MainTexts.h"
#include "main/core/SystemClock.h"
#include "main/forms/QtText.h"
#include "platform/mail/MailMessage.h"
#include "platform/mail/MailSession.h"
#include "platform/shell/Module1.h"
#include "platform/shell/ProcessLauncher.h"
#include "shared/AppFolder.h"
#include "shared/PrivateFiles.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modWriteLog.h"

static void InitFormsResources() {
    Q_INIT_RESOURCE(forms);
}

namespace vellora::forms {
namespace tx = core::texts;
namespace st = vellora::texts;

namespace {
constexpr int kTickMilliseconds = 5000;
constexpr int kAboutTab = 5;

// A positive whole number from the environment, or 0.
int EnvNumber(const std::string& name, int most) {
    const char* v = std::getenv(name.c_str());
    if (!v) return 0;
    char* end = nullptr;
    const long n = std::strtol(v, &end, 10);
    return (end != v && *end == 0 && n > 0 && n <= most) ? static_cast<int>(n) : 0;
}
}  // namespace

frmTavro::frmTavro(Services services, QWidget* parent) : QMainWindow(parent) {
    InitFormsResources();
    setObjectName(QStringLiteral("frmTavro"));
    if (!services.clock) ownClock_ = std::make_unique<core::SystemClock>();
    if (!services.dialogs) ownDialogs_ = std::make_unique<QtDialogs>(this);
    if (!services.launcher) ownLauncher_ = std::make_unique<shell::ProcessLauncher>();
    if (!services.pump) ownPump_ = std::make_unique<QtEventPump>();
    clock_ = services.clock ? services.clock : ownClock_.get();
    dialogs_ = services.dialogs ? services.dialogs : ownDialogs_.get();
    launcher_ = services.launcher ? services.launcher : ownLauncher_.get();
    pump_ = services.pump ? services.pump : ownPump_.get();
    tray_ = services.tray ? services.tray : new QtTrayIcon(this);
    if (!tray_->parent()) tray_->setParent(this);  // a given tray without owner is ours
    connect(tray_, &TrayIcon::doubleClicked, this, &frmTavro::TrayDoubleClicked);

    appFolder_ = AppFolder();
    settingsPath_ = JoinPath(appFolder_, st::kSettingsFileName);
    tempFolder_ = JoinPath(appFolder_, st::kTempFolderName);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    statusTab = new StatusTab(SSTab1);
    accountsTab = new AccountsTab(SSTab1);
    rulesTab = new RulesTab(SSTab1);
    printersTab = new PrintersTab(SSTab1);
    optionsTab = new OptionsTab(options_, SSTab1);
    aboutTab = new AboutTab(SSTab1);
    for (QWidget* tab : std::initializer_list<QWidget*>{statusTab, accountsTab, rulesTab,
                                                        printersTab, optionsTab, aboutTab})
        SSTab1->addTab(tab, QString());
    setCentralWidget(SSTab1);
    optionsTab->SetLoadedQuery([this] { return loaded_; });
    // The failed-jobs window is there once the job part has plugged it in.
    connect(optionsTab->cmdVwJobErr, &QPushButton::clicked, this, [this] {
        if (hooks_.showFailedJobs) hooks_.showFailedJobs();
    });
    resize(860, 560);
    setMinimumSize(720, 480);

    tmrMailCheck = new QTimer(this);
    tmrMailCheck->setObjectName(QStringLiteral("tmrMailCheck"));
    const int testTick = EnvNumber(tx::kTestTickEnv, kTickMilliseconds);
    tmrMailCheck->setInterval(testTick > 0 ? testTick : kTickMilliseconds);
    connect(tmrMailCheck, &QTimer::timeout, this, &frmTavro::tmrMailCheck_Timer);

    status_ = std::make_unique<core::StatusLogs>(*clock_, options_, appFolder_);
    status_->SetEventPump(pump_);
    status_->SetBoxChanged(
        [this](core::StatusBox box, const std::string& text) { statusTab->ShowBox(box, text); });
    scheduler_ = std::make_unique<core::Scheduler>(*clock_, settingsPath_, tempFolder_);
    core::Scheduler::View view;
    view.lastCheckLabel = [this](const std::string& t) { statusTab->lblLastCheck->setText(Q(t)); };
    view.nextCheckLabel = [this](const std::string& t) { statusTab->lblNextCheck->setText(Q(t)); };
    view.trayTip = [this](const std::string& t) { tray_->SetTip(Q(t)); };
    scheduler_->SetView(std::move(view));
    scheduler_->SetTestPeriod(std::chrono::seconds(EnvNumber(tx::kTestCheckEnv, 86400)));
}

frmTavro::~frmTavro() = default;

void frmTavro::SetJobDispatch(core::JobDispatch* dispatch) {
    scheduler_->SetDispatch(dispatch);
}
void frmTavro::SetMailCheck(core::MailCheck* check) {
    scheduler_->SetMailCheck(check);
}

QString frmTavro::Caption() const {
    return windowTitle();
}

void frmTavro::Run(const std::function<void(frmTavro&)>& hook) {
    if (hook) hook(*this);
}

frmTavro::LoadResult frmTavro::Form_Load() {
    int step = 0;
    try {
        step = 10;
        if (hooks_.makeSession) mailHost_ = hooks_.makeSession();
        if (hooks_.makeMessage) currentMessage_ = hooks_.makeMessage();
        if (mailHost_) mailHost_->SetOption(false);

        step = 20;
        setWindowTitle(Q(tx::kAppTitle));
        scheduler_->SetCaption(tx::kAppTitle);
        tray_->SetTip(Q(core::Scheduler::CutTip(tx::kAppTitle)));

        step = 30;
        appFolder_ = AppFolder();
        settingsPath_ = JoinPath(appFolder_, st::kSettingsFileName);
        const std::string marker =
            basINI_IO::ReadSettingText(settingsPath_, st::kGeneralSection, st::kKeyUserEmail);
        if (marker == basINI_IO::MissingValue() && hooks_.runFirstWizard) {
            if (!hooks_.runFirstWizard(*this)) return LoadResult::Ended;
        }
        userName_ =
            basINI_IO::ReadSettingText(settingsPath_, st::kGeneralSection, st::kKeyUserName);
        if (userName_ == basINI_IO::MissingValue()) userName_.clear();

        step = 45;
        SetTexts();
        optionsTab->FillIntervalList();
        optionsTab->SetSettingsPath(settingsPath_);
        optionsTab->SetAppFolder(appFolder_);
        Run(hooks_.fillRuleLists);

        step = 46;
        if (hooks_.loadOptions)
            hooks_.loadOptions(*this);
        else
            optionsTab->LoadOptions(settingsPath_);
        step = 47;
        Run(hooks_.loadAttachmentLists);
        step = 50;
        Run(hooks_.loadAccounts);
        step = 55;
        Run(hooks_.loadRules);

        step = 60;
        const int interval = scheduler_->ReadStoredInterval();
        optionsTab->cboInterval->setEditText(QString::number(interval));

        step = 65;
        scheduler_->Start(interval, options_.checkAtStartup);

        step = 70;
        Run(hooks_.fillPrinterLists);
        Run(hooks_.createJobCollections);

        step = 75;
        // Bodies and attachments lie there: for the user's eyes only. None possible: the
        // tick and the job steps cope.
        MakePrivateFolder(tempFolder_);
        SetWindowIcons(this, tx::kIconName, true);
        tray_->SetIcon(windowIcon());

        step = 80;
        SSTab1->setCurrentIndex(kAboutTab);
        accountsTab->rememberedIndex = -1;
        rulesTab->rememberedIndex = -1;

        step = 85;
        tmrMailCheck->start();
        loaded_ = true;
        return LoadResult::Loaded;
    } catch (const std::exception& e) {
        try {
            modWriteLog::WriteLog(tx::kLoadErrorPrefix.str() + std::to_string(step) +
                                  tx::kStepSeparator.str() + e.what());
        } catch (const modWriteLog::LogError&) {
        }
        return LoadResult::Failed;
    }
}

void frmTavro::SetTexts() {
    const std::string captions[] = {tx::kTabStatus,   tx::kTabAccounts, tx::kTabRules,
                                    tx::kTabPrinters, tx::kTabSettings, tx::kTabAbout};
    for (int i = 0; i < 6; ++i) SSTab1->setTabText(i, Q(captions[i]));
    statusTab->SetTexts();
    accountsTab->SetTexts();
    rulesTab->SetTexts();
    printersTab->SetTexts();
    optionsTab->SetTexts();
    optionsTab->attTypes->SetTexts();
    aboutTab->SetTexts();
}

void frmTavro::tmrMailCheck_Timer() {
    // Nothing may leave a timer slot: each step of the tick has its own trap.
    try {
        Module1::ReapChildren();
        scheduler_->Tick(S(optionsTab->cboInterval->currentText()));
    } catch (const std::exception& e) {
        try {
            modWriteLog::WriteLog(tx::kTickErrorPrefix.str() + "0" + tx::kStepSeparator.str() +
                                  e.what());
        } catch (const modWriteLog::LogError&) {
        }
    }
}

void frmTavro::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    if (!(windowState() & Qt::WindowMinimized)) return;
    // Without a notification area the window simply stays minimised.
    if (!options_.minimiseToTray || !tray_->Available()) return;
    tray_->Add();
    hide();
}

void frmTavro::TrayDoubleClicked() {
    if (!(windowState() & Qt::WindowMinimized)) return;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    tray_->Delete();
    show();
    activateWindow();
}

bool frmTavro::Form_QueryUnload(bool fromUserCommand) {
    if (!fromUserCommand || !options_.confirmExit) return false;
    return dialogs_->MessageBox(tx::kExitQuestion, core::MsgButtons::YesNo, tx::kExitTitle) !=
           core::MsgResult::Yes;
}

void frmTavro::closeEvent(QCloseEvent* event) {
    if (Form_QueryUnload(event->spontaneous())) {
        event->ignore();
        return;
    }
    tray_->Delete();
    tmrMailCheck->stop();
    event->accept();
    emit unloaded();
}

bool frmTavro::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        // Closing the question itself activates the window again: that is no new focus.
        const bool echo =
            sinceFailedJobsQuestion_.isValid() && sinceFailedJobsQuestion_.elapsed() < 500;
        if (!askingFailedJobs_ && !echo) QTimer::singleShot(0, this, &frmTavro::Form_GotFocus);
    }
    return QMainWindow::event(event);
}

void frmTavro::Form_GotFocus() {
    if (askingFailedJobs_ || !hooks_.failedJobCount || hooks_.failedJobCount() < 1) return;
    askingFailedJobs_ = true;
    const core::MsgResult answer = dialogs_->MessageBox(
        tx::kFailedJobsQuestion, core::MsgButtons::YesNo, tx::kFailedJobsTitle);
    askingFailedJobs_ = false;
    sinceFailedJobsQuestion_.start();
    if (answer == core::MsgResult::Yes && hooks_.showFailedJobs) hooks_.showFailedJobs();
}

}  // namespace vellora::forms
