// The option check boxes and texts as the logic reads them. The main window keeps this in
// step with its controls; the logic never reads a control.
#pragma once

#include <cstdint>
#include <string>

namespace vellora::core {

// The most attachments one message may queue, unless the options say otherwise.
inline constexpr int kDefaultAttachmentCap = 50;
inline constexpr int kMaxAttachmentCap = 10000;
// The cap a stored number gives: itself from 1 to the maximum, the default otherwise (absent
// reads as -1, a hand-edited 0 or text as 0).
inline int AttachmentCapFrom(std::int32_t stored) {
    return stored >= 1 && stored <= kMaxAttachmentCap ? stored : kDefaultAttachmentCap;
}

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
    bool printAttErrorPage = false;             // chkAttErrPrint, not stored
    int attachmentCap = kDefaultAttachmentCap;  // txtAttCap
    std::string trustedAuthServId;              // txtTrustedServer
};

}  // namespace vellora::core
