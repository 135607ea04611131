#include "main/core/Printers.h"

#include "main/core/MainTexts.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"

namespace vellora::core {
namespace t = vellora::texts;
namespace mt = vellora::core::texts;

std::string SystemDefaultEntry() {
    return mt::kSystemDefaultEntry;
}
std::string RuleDefaultEntry() {
    return mt::kRuleUseDefaultPrinter;
}

PrinterLists FillPrinterLists(print::PrintSystem& printers, const std::string& path) {
    PrinterLists lists;
    lists.printers.push_back(SystemDefaultEntry());
    lists.rulePrinters.push_back(RuleDefaultEntry());
    for (const std::string& name : printers.Printers()) {
        lists.printers.push_back(name);
        lists.rulePrinters.push_back(name);
    }
    std::string app = basINI_IO::ReadSettingText(path, t::kGeneralSection, t::kKeyAppPrinter);
    if (app == basINI_IO::MissingValue()) app = mt::kNoPrinterSelected;
    lists.systemPrinter = printers.GetSystemPrinter();
    lists.applicationPrinter = app == mt::kDefaultPrinterMarker.str() ? lists.systemPrinter : app;
    return lists;
}

std::optional<std::string> SetApplicationPrinter(const std::vector<std::string>& printers,
                                                 int selected, const std::string& path) {
    if (selected < 0 || selected >= static_cast<int>(printers.size())) return std::nullopt;
    const std::string& text = printers[static_cast<std::size_t>(selected)];
    basINI_IO::WriteSettingText(text, path, t::kGeneralSection, t::kKeyAppPrinter);
    return text;
}

}  // namespace vellora::core
