// The printers tab without its controls: what the two lists and the two labels show, and
// choosing the application printer.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/print/PrintSystem.h"

namespace vellora::core {

struct PrinterLists {
    std::vector<std::string> printers;      // lstPrinters: system-default entry, then printers
    std::vector<std::string> rulePrinters;  // cboRulePrinter: rule-default entry, then printers
    std::string systemPrinter;              // lblCurSysPrinter
    std::string applicationPrinter;         // lblCurApplicationPrinter
};

// FillPrinterLists: at start-up and on every change of tab.
PrinterLists FillPrinterLists(print::PrintSystem& printers, const std::string& settingsPath);

// cmdSetPrinter or a double click: stores the selected entry as the application printer and
// returns the new caption of lblCurApplicationPrinter; nothing when no entry is selected.
std::optional<std::string> SetApplicationPrinter(const std::vector<std::string>& printers,
                                                 int selected, const std::string& settingsPath);

std::string SystemDefaultEntry();  // first entry of lstPrinters
std::string RuleDefaultEntry();    // first entry of cboRulePrinter

}  // namespace vellora::core
