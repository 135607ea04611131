// A print system held in memory, for tests of the logic above printing. It behaves like the
// real one: case-insensitive match, the default set to the name as given, false for unknown.
#pragma once

#include <string>
#include <vector>

#include "platform/print/PrintSystem.h"

namespace vellora::print {

class FakePrintSystem : public PrintSystem {
  public:
    std::vector<std::string> printers;  // installed printers, in the system's order
    std::string defaultPrinter;         // what GetSystemPrinter returns
    std::vector<std::string> switches;  // every name SwitchPrinter was given, in order

    std::vector<std::string> Printers() override { return printers; }
    std::string GetSystemPrinter() override { return defaultPrinter; }
    bool SwitchPrinter(const std::string& name) override;
};

}  // namespace vellora::print
