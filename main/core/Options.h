// The option check boxes and texts as the logic reads them. The main window keeps this in
// step with its controls; the logic never reads a control.
#pragma once

#include <string>

namespace vellora::core {

struct Options {
    bool startWithDesktop = false;
    bool confirmExit = false;
    bool minimiseToTray = false;
    bool logStatus = false;  // status lines also go to the status file
    bool checkAtStartup = false;
    bool trimToFwdHeader = false;
    std::string fwdHeader;
    bool notifyOnError = false;    // chkErrEmail
    bool notifyOnSuccess = false;  // chkSuccEmail
    std::string notifyEmail;       // txtNotifyEmail
    bool usePdfViewer = false;
    bool office2007 = false;
    bool printAttErrorPage = false;  // chkAttErrPrint, not stored
};

}  // namespace vellora::core
