// Plugs the accounts tab, the mail check and the first-run wizard into the main window: the
// wizard at start-up, the account loader, the tab-change question and the mail check the
// timer runs.
#pragma once

#include <memory>

#include "main/core/AccountMailCheck.h"
#include "main/core/Seams.h"

namespace vellora::forms {

class frmTavro;

class AccountsWiring {
  public:
    // handling: rule matching and the job steps, as the mail check calls them per message.
    // The mail check is installed only with one: without rules no message could be handled.
    AccountsWiring(frmTavro& window, core::MessageHandling* handling);
    // Before the window loads.
    void SetMessageHandling(core::MessageHandling* handling) { handling_ = handling; }

    // The mail check, once the window has loaded the accounts (null before).
    core::AccountMailCheck* MailCheck() { return check_.get(); }

    // Shows the wizard and runs the window's events until it is finished or cancelled.
    static bool RunFirstWizard(frmTavro& window);

  private:
    void LoadAccounts(frmTavro& window);

    core::MessageHandling* handling_;
    std::unique_ptr<core::AccountMailCheck> check_;
};

}  // namespace vellora::forms
