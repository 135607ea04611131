#include "platform/print/FakePrintSystem.h"

#include <strings.h>

namespace vellora::print {

bool FakePrintSystem::SwitchPrinter(const std::string& name) {
    switches.push_back(name);
    if (name.empty()) return false;
    for (const auto& p : printers) {
        if (strcasecmp(p.c_str(), name.c_str()) == 0) {
            defaultPrinter = name;
            return true;
        }
    }
    return false;
}

}  // namespace vellora::print
