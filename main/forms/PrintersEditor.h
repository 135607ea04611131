// The printers tab's behaviour: filling the lists and labels, and choosing the program's
// printer. The lists come from the print system through main/core/Printers.h.
#pragma once

#include <QComboBox>
#include <QObject>
#include <string>

#include "main/core/RuleMatch.h"
#include "main/forms/PrintersTab.h"
#include "platform/print/PrintSystem.h"

namespace vellora::forms {

class PrintersEditor : public QObject {
    Q_OBJECT
  public:
    PrintersEditor(PrintersTab& tab, QComboBox& rulePrinter, print::PrintSystem& printers,
                   std::string settingsPath);

    void FillPrinterLists();  // at start-up and on every change of tab
    void cmdSetPrinter_Click();
    // What rule matching and the dispatcher read: the two labels as they stand.
    core::PrinterCaptions Captions() const;
    std::string SystemPrinterCaption() const;

  private:
    PrintersTab& t_;
    QComboBox& rulePrinter_;
    print::PrintSystem& printers_;
    std::string path_;
};

}  // namespace vellora::forms
