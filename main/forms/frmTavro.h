// The main window. It holds the program-wide state (paths, options, the mail session and
// message objects, the status logs, the check schedule, the loaded flag), runs the start-up
// sequence, owns minimise-to-tray, restore and confirmed exit, and forwards its five-second
// timer to the scheduler. The other parts of the program plug in through Hooks and the
// Set... calls; every hook may stay empty.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "main/core/Options.h"
#include "main/core/Scheduler.h"
#include "main/core/Seams.h"
#include "main/core/StatusLogs.h"
#include "main/forms/AboutTab.h"
#include "main/forms/AccountsTab.h"
#include "main/forms/OptionsTab.h"
#include "main/forms/PrintersTab.h"
#include "main/forms/QtServices.h"
#include "main/forms/RulesTab.h"
#include "main/forms/StatusTab.h"
#include "platform/mail/MailMessage.h"
#include "platform/mail/MailSession.h"

namespace vellora::forms {

// The window's side effects; any left null gets the real one.
struct WindowServices {
    core::Clock* clock = nullptr;
    core::Dialogs* dialogs = nullptr;
    core::Launcher* launcher = nullptr;
    core::EventPump* pump = nullptr;
    TrayIcon* tray = nullptr;
};

class frmTavro : public QMainWindow {
    Q_OBJECT
  public:
    using Services = WindowServices;

    // What the other parts of the program give the window, called in start-up order.
    struct Hooks {
        // Step 10: the one mail session object and the one message object.
        std::function<std::unique_ptr<mail::MailSession>()> makeSession;
        std::function<std::unique_ptr<mail::MailMessage>()> makeMessage;
        // Step 30, only when the program was never set up: shows the first-run wizard and
        // keeps the window's events running until it is finished. True when the user
        // finished it, false when they cancelled (the program then ends).
        std::function<bool(frmTavro&)> runFirstWizard;
        // Step 45: the field, condition and join lists of the rules tab.
        std::function<void(frmTavro&)> fillRuleLists;
        // Steps 46 to 55. An empty loadOptions reads the option keys itself.
        std::function<void(frmTavro&)> loadOptions;
        std::function<void(frmTavro&)> loadAttachmentLists;
        std::function<void(frmTavro&)> loadAccounts;  // and fills the account list
        std::function<void(frmTavro&)> loadRules;     // and fills the rule list
        // Step 70.
        std::function<void(frmTavro&)> fillPrinterLists;
        std::function<void(frmTavro&)> createJobCollections;
        // The failed-jobs question on focus: how many failed, and showing their window.
        std::function<int()> failedJobCount;
        std::function<void()> showFailedJobs;
    };

    enum class LoadResult { Loaded, Failed, Ended };

    explicit frmTavro(Services services = {}, QWidget* parent = nullptr);
    ~frmTavro() override;

    Hooks& hooks() { return hooks_; }
    void SetJobDispatch(core::JobDispatch* dispatch);
    void SetMailCheck(core::MailCheck* check);

    // The start-up sequence (Form_Load). Ended: the wizard was cancelled, the program ends
    // without showing the window. Failed: a step failed and was logged; the window may
    // still be shown, but the timer is not armed.
    LoadResult Form_Load();
    void tmrMailCheck_Timer();
    // True when the close must not proceed. fromUserCommand: the window's own close command.
    bool Form_QueryUnload(bool fromUserCommand);
    void Form_GotFocus();
    // A left double click on the tray icon.
    void TrayDoubleClicked();

    // Program-wide state.
    const std::string& AppFolderPath() const { return appFolder_; }
    const std::string& SettingsPath() const { return settingsPath_; }
    const std::string& TempFolder() const { return tempFolder_; }
    const std::string& UserName() const { return userName_; }
    core::Options& Options() { return options_; }
    bool Loaded() const { return loaded_; }
    mail::MailSession* MailHost() { return mailHost_.get(); }
    mail::MailMessage* CurrentMessage() { return currentMessage_.get(); }
    core::Clock& GetClock() { return *clock_; }
    core::Dialogs& GetDialogs() { return *dialogs_; }
    core::Launcher& GetLauncher() { return *launcher_; }
    core::EventPump& GetEventPump() { return *pump_; }
    core::StatusLogs& Status() { return *status_; }
    core::Scheduler& Schedule() { return *scheduler_; }
    TrayIcon& Tray() { return *tray_; }
    QString Caption() const;

    // The tab strip and the tabs, by index: 0 status, 1 accounts, 2 rules, 3 printers,
    // 4 settings (SSTab2: options, attachment types), 5 about.
    QTabWidget* SSTab1;
    StatusTab* statusTab;
    AccountsTab* accountsTab;
    RulesTab* rulesTab;
    PrintersTab* printersTab;
    OptionsTab* optionsTab;
    AboutTab* aboutTab;
    QTimer* tmrMailCheck;

  signals:
    // The close went ahead: the program ends.
    void unloaded();

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void SetTexts();
    void Run(const std::function<void(frmTavro&)>& hook);

    std::unique_ptr<core::Clock> ownClock_;
    std::unique_ptr<core::Dialogs> ownDialogs_;
    std::unique_ptr<core::Launcher> ownLauncher_;
    std::unique_ptr<core::EventPump> ownPump_;
    core::Clock* clock_;
    core::Dialogs* dialogs_;
    core::Launcher* launcher_;
    core::EventPump* pump_;
    TrayIcon* tray_;

    Hooks hooks_;
    std::string appFolder_;
    std::string settingsPath_;
    std::string tempFolder_;
    std::string userName_;
    core::Options options_;
    std::unique_ptr<mail::MailSession> mailHost_;
    std::unique_ptr<mail::MailMessage> currentMessage_;
    std::unique_ptr<core::StatusLogs> status_;
    std::unique_ptr<core::Scheduler> scheduler_;
    bool loaded_ = false;
    bool askingFailedJobs_ = false;
    QElapsedTimer sinceFailedJobsQuestion_;
};

}  // namespace vellora::forms
