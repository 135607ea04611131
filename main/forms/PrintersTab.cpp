#include "main/forms/PrintersTab.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "main/forms/Named.h"
#include "main/forms/QtText.h"
#include "shared/Literal.h"

namespace vellora::forms {

PrintersTab::PrintersTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PrintersTab"));
    captionList_ = new QLabel(this);
    lstPrinters = Named<QListWidget>("lstPrinters", this);
    cmdSetPrinter = Named<QPushButton>("cmdSetPrinter", this);
    captionSys_ = new QLabel(this);
    captionApp_ = new QLabel(this);
    lblCurSysPrinter = Named<QLabel>("lblCurSysPrinter", this);
    lblCurApplicationPrinter = Named<QLabel>("lblCurApplicationPrinter", this);
    auto* current = new QFormLayout;
    current->addRow(captionSys_, lblCurSysPrinter);
    current->addRow(captionApp_, lblCurApplicationPrinter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSetPrinter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(captionList_);
    layout->addWidget(lstPrinters, 1);
    layout->addLayout(buttons);
    layout->addLayout(current);
}

void PrintersTab::SetTexts() {
    captionList_->setText(Q(VL("Installed printers:")));
    cmdSetPrinter->setText(Q(VL("Use for &Vellora")));
    captionSys_->setText(Q(VL("System default printer:")));
    captionApp_->setText(Q(VL("Vellora's printer:")));
}

}  // namespace vellora::forms
