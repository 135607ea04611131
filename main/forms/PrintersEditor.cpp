#include "main/forms/PrintersEditor.h"

#include "main/core/Printers.h"
#include "main/forms/QtText.h"

namespace vellora::forms {

PrintersEditor::PrintersEditor(PrintersTab& tab, QComboBox& rulePrinter,
                               print::PrintSystem& printers, std::string settingsPath)
    : QObject(&tab),
      t_(tab),
      rulePrinter_(rulePrinter),
      printers_(printers),
      path_(std::move(settingsPath)) {
    connect(t_.cmdSetPrinter, &QPushButton::clicked, this, [this] { cmdSetPrinter_Click(); });
    connect(t_.lstPrinters, &QListWidget::itemDoubleClicked, this,
            [this] { cmdSetPrinter_Click(); });
}

void PrintersEditor::FillPrinterLists() {
    const core::PrinterLists lists = core::FillPrinterLists(printers_, path_);
    t_.lstPrinters->clear();
    rulePrinter_.clear();
    for (const std::string& p : lists.printers) t_.lstPrinters->addItem(Q(p));
    for (const std::string& p : lists.rulePrinters) rulePrinter_.addItem(Q(p));
    rulePrinter_.setCurrentIndex(-1);
    t_.lblCurSysPrinter->setText(Q(lists.systemPrinter));
    t_.lblCurApplicationPrinter->setText(Q(lists.applicationPrinter));
}

void PrintersEditor::cmdSetPrinter_Click() {
    std::vector<std::string> entries;
    for (int i = 0; i < t_.lstPrinters->count(); ++i)
        entries.push_back(S(t_.lstPrinters->item(i)->text()));
    const auto caption = core::SetApplicationPrinter(
        entries, t_.lstPrinters->selectedItems().isEmpty() ? -1 : t_.lstPrinters->currentRow(),
        path_);
    if (caption) t_.lblCurApplicationPrinter->setText(Q(*caption));
}

core::PrinterCaptions PrintersEditor::Captions() const {
    return {S(t_.lblCurApplicationPrinter->text()), S(t_.lblCurSysPrinter->text())};
}

std::string PrintersEditor::SystemPrinterCaption() const {
    return S(t_.lblCurSysPrinter->text());
}

}  // namespace vellora::forms
