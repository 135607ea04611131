#include "main/forms/AccountsWiring.h"

#include <QEventLoop>

#include "main/forms/frmFirstWizard.h"
#include "main/forms/frmTavro.h"

namespace vellora::forms {
namespace {
constexpr int kAccountsTab = 1;
}

AccountsWiring::AccountsWiring(frmTavro& window, core::MessageHandling* handling)
    : handling_(handling) {
    frmTavro::Hooks& hooks = window.hooks();
    hooks.runFirstWizard = &AccountsWiring::RunFirstWizard;
    hooks.loadAccounts = [this](frmTavro& w) { LoadAccounts(w); };
    QObject::connect(window.SSTab1, &QTabWidget::currentChanged, window.accountsTab,
                     [&window](int index) {
                         window.accountsTab->AskAboutUnsavedChange();
                         if (index == kAccountsTab) window.accountsTab->EnterTab();
                     });
}

bool AccountsWiring::RunFirstWizard(frmTavro& window) {
    frmFirstWizard wizard(window.MailHost(), window.GetDialogs(), window.SettingsPath(),
                          window.accountsTab->MaxAcctID());
    QEventLoop wait;
    QObject::connect(&wizard, &frmFirstWizard::finished, &wait, &QEventLoop::quit);
    wizard.show();
    // The window's events, its timer included, keep running while the user works through
    // the pages.
    if (!wizard.Finished) wait.exec();
    return !wizard.Cancelled;
}

void AccountsWiring::LoadAccounts(frmTavro& w) {
    AccountsTab& tab = *w.accountsTab;
    tab.Bind(
        w.GetDialogs(), [&w] { return w.MailHost(); }, w.SettingsPath());
    tab.LoadAccounts();
    if (w.MailHost() == nullptr || w.CurrentMessage() == nullptr || handling_ == nullptr) return;
    check_ = std::make_unique<core::AccountMailCheck>(
        core::MailCheckParts{*w.MailHost(), *w.CurrentMessage(), *handling_, w.Status(),
                             w.GetEventPump(), w.Options(), tab.Accounts(), w.SettingsPath()});
    w.SetMailCheck(check_.get());
}

}  // namespace vellora::forms
