#include "main/forms/AttTypesTab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "main/forms/Named.h"
#include "main/forms/QtText.h"
#include "shared/Literal.h"

namespace vellora::forms {

AttTypesTab::AttTypesTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AttTypesTab"));
    lstAtt = Named<QListWidget>("lstAtt", this);
    lstExt = Named<QListWidget>("lstExt", this);
    txtExt = Named<QLineEdit>("txtExt", this);
    cmdNewExt = Named<QPushButton>("cmdNewExt", this);
    cmdDelExt = Named<QPushButton>("cmdDelExt", this);
    cmdSaveExt = Named<QPushButton>("cmdSaveExt", this);
    lblAttInfo = Named<QLabel>("lblAttInfo", this);
    lblAttInfo->setWordWrap(true);
    lblExt = Named<QLabel>("lblExt", this);
    lblRegExp = Named<QLabel>("lblRegExp", this);
    lblRegExp->setTextInteractionFlags(Qt::TextBrowserInteraction);

    auto* editRow = new QHBoxLayout;
    editRow->addWidget(lblExt);
    editRow->addWidget(txtExt, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdNewExt);
    buttons->addWidget(cmdDelExt);
    buttons->addStretch();
    buttons->addWidget(lblRegExp);
    buttons->addWidget(cmdSaveExt);
    auto* grid = new QGridLayout;
    grid->addWidget(lstAtt, 0, 0);
    grid->addWidget(lstExt, 0, 1);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblAttInfo);
    layout->addLayout(grid, 1);
    layout->addLayout(editRow);
    layout->addLayout(buttons);
    setTabOrder(lstAtt, lstExt);
    setTabOrder(lstExt, txtExt);
    setTabOrder(txtExt, cmdNewExt);
    setTabOrder(cmdNewExt, cmdDelExt);
    setTabOrder(cmdDelExt, cmdSaveExt);
}

void AttTypesTab::SetTexts() {
    lblAttInfo->setText(
        Q(VL("Attachments whose file names match a pattern of a family are "
             "printed by that family's helper. Patterns are regular expressions.")));
    lblExt->setText(Q(VL("Pattern:")));
    lblRegExp->setText(Q(VL("Help on patterns")));
    cmdNewExt->setText(Q(VL("&New")));
    cmdDelExt->setText(Q(VL("&Delete")));
    cmdSaveExt->setText(Q(VL("&Save")));
}

}  // namespace vellora::forms
