// Webbin: prints one HTML file through the HTML engine and CUPS.
#pragma once

#include "helpers/frame/HelperFrame.h"

namespace webbin {

struct Waits {
    vellora::helper::Duration load = std::chrono::seconds(20);
    vellora::helper::Duration afterPrint = std::chrono::seconds(10);
    // The whole run's limit, past which the watchdog records a failure and leaves: every
    // wait above plus a margin for the engine's start and printing.
    vellora::helper::Duration watchdog = std::chrono::seconds(120);
};
// The waits, with the environment's overrides applied.
Waits WaitsFromEnvironment();

// Removes the run folder of a run that is being cut short (the watchdog's last act).
void RemoveLeftovers();

// Copies the page and its own inline pictures (<stem>_cid... beside it) into `folder`;
// returns the copy's path. Throws HelperFailure when the page is not a file.
std::string CopyPageAlone(const std::string& page, const std::string& folder);

// The print step: load, wait for the page, print it, wait for the spooler.
vellora::helper::Outcome PrintPage(vellora::helper::HelperRun& run, const Waits& waits);

}  // namespace webbin
