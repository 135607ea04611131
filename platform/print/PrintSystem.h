// The print system as the main program sees it: the installed printers, the user's default
// printer, and switching that default. The real one is CUPS; tests of logic use a fake.
#pragma once

#include <string>
#include <vector>

namespace vellora::print {

class PrintSystem {
  public:
    virtual ~PrintSystem() = default;
    virtual std::vector<std::string> Printers() = 0;
    virtual std::string GetSystemPrinter() = 0;  // empty when there is no default
    // Makes the installed printer whose name matches (ignoring letter case) the default;
    // false, leaving the default alone, when no installed printer has that name.
    virtual bool SwitchPrinter(const std::string& name) = 0;
};

}  // namespace vellora::print
