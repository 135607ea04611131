#include "main/app/Wiring.h"

#include "main/forms/frmTavro.h"

namespace vellora::app {

void WireProgram(forms::frmTavro& window) {
    // Each part adds its own lines here, for example:
    //   window.hooks().makeSession = [] { return mail::MakeSession(); };
    //   window.hooks().runFirstWizard = [](forms::frmTavro& w) { return RunWizard(w); };
    //   window.hooks().loadAccounts = [](forms::frmTavro& w) { LoadAccounts(w); };
    //   window.SetJobDispatch(&dispatcher);  window.SetMailCheck(&mailCheck);
    // Objects that must live as long as the window are best owned by the window's parts
    // (or kept static here), since the window only keeps pointers to them.
    (void)window;
}

}  // namespace vellora::app
