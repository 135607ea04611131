// Where the parts of the main program plug into the main window before it loads.
#pragma once

namespace vellora::forms {
class frmTavro;
}

namespace vellora::app {

// Fills the window's hooks (session factory, first-run wizard, loaders, printer lists, job
// collections, failed-jobs window) and hands it the dispatcher and the mail check. Called
// once, before Form_Load.
void WireProgram(forms::frmTavro& window);

}  // namespace vellora::app
