// What Scriblet, Gridlet and Slidor share: the office application's steps (open read-only,
// print, close, quit) done through the office layer, which converts a private copy to PDF
// in a process group of its own, and CUPS, which prints that PDF on the default printer.
//
// Settings from the environment, for tests and measurements:
//   VELLORA_OFFICE_TIMEOUT     seconds the office program may take per document (120)
//   VELLORA_SLIDOR_PRINT_WAIT  Slidor's pause after printing, in seconds (2)
// plus the office layer's VELLORA_OFFICE_PROGRAM and VELLORA_OFFICE_CACHE.
#pragma once

#include <string>

#include "helpers/frame/HelperFrame.h"

namespace vellora::officeprint {

// The printed document's PDF and its private folder; releasing drops both.
class PrintedCopy {
  public:
    PrintedCopy() = default;
    ~PrintedCopy() { Release(); }
    PrintedCopy(const PrintedCopy&) = delete;
    PrintedCopy& operator=(const PrintedCopy&) = delete;
    // Makes the private folder; throws HelperFailure when it cannot.
    const std::string& Folder();
    void Release();

  private:
    std::string folder_;
};

// Opens the document (path as the command line gave it, quotes and all), prints it on the
// default printer and lets the office program go. Throws HelperFailure with the office
// layer's or CUPS's description.
void PrintDocument(helper::HelperRun& run, PrintedCopy& copy);

// Slidor's pause after printing (2 s unless the environment says otherwise).
helper::Duration SlidorPause();
void Pause(helper::HelperRun& run, helper::Duration pause);

}  // namespace vellora::officeprint
