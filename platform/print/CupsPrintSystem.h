// The print system on CUPS: the destinations of the CUPS server the environment names
// (CUPS_SERVER, or the local one), and the user's default printer as libcups keeps it
// (lpoptions, written through cupsSetDests2).
#pragma once

#include "platform/print/PrintSystem.h"

namespace vellora::print {

class CupsPrintSystem : public PrintSystem {
  public:
    // Printer names (no instances) in the order CUPS lists them; empty when the server is
    // unreachable or has none.
    std::vector<std::string> Printers() override;
    // The default destination as a fresh libcups client sees it; empty when there is none.
    std::string GetSystemPrinter() override;
    // Matches the name ignoring letter case and records the default in the user's lpoptions
    // under the name as it was given; false, writing nothing, for an empty or unknown name
    // (and false when the server cannot be reached or lpoptions cannot be written).
    bool SwitchPrinter(const std::string& name) override;
};

}  // namespace vellora::print
