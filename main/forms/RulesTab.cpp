#include "main/forms/RulesTab.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "main/forms/Named.h"
#include "main/forms/QtText.h"
#include "shared/Literal.h"

namespace vellora::forms {

RulesTab::RulesTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("RulesTab"));
    lstRules = Named<QListWidget>("lstRules", this);
    lstRuleID = Named<QListWidget>("lstRuleID", this);
    lstRuleID->setVisible(false);
    cmdNewRule = Named<QPushButton>("cmdNewRule", this);
    cmdDupeRule = Named<QPushButton>("cmdDupeRule", this);
    cmdRenRule = Named<QPushButton>("cmdRenRule", this);
    cmdDelRule = Named<QPushButton>("cmdDelRule", this);

    editor_ = new QGroupBox(this);
    lblRuleID = Named<QLabel>("lblRuleID", editor_);
    lblRuleName = Named<QLabel>("lblRuleName", editor_);
    captionId_ = new QLabel(editor_);
    captionName_ = new QLabel(editor_);
    auto* head = new QFormLayout;
    head->addRow(captionId_, lblRuleID);
    head->addRow(captionName_, lblRuleName);

    terms_ = new QGroupBox(editor_);
    auto* grid = new QGridLayout(terms_);
    for (int k = 0; k < 3; ++k) {
        cboField[k] = NamedIndexed<QComboBox>("cboField", k, terms_);
        cboCondition[k] = NamedIndexed<QComboBox>("cboCondition", k, terms_);
        txtValue[k] = NamedIndexed<QLineEdit>("txtValue", k, terms_);
        cboField[k]->setMinimumContentsLength(14);
        cboCondition[k]->setMinimumContentsLength(12);
        grid->addWidget(cboField[k], 2 * k, 0);
        grid->addWidget(cboCondition[k], 2 * k, 1);
        grid->addWidget(txtValue[k], 2 * k, 2);
        if (k < 2) {
            cboLogic[k] = NamedIndexed<QComboBox>("cboLogic", k, terms_);
            cboLogic[k]->setMinimumContentsLength(6);
            grid->addWidget(cboLogic[k], 2 * k + 1, 0);
        }
    }
    grid->setColumnStretch(2, 1);

    chkPrintBody = Named<QCheckBox>("chkPrintBody", editor_);
    chkPrintAtt = Named<QCheckBox>("chkPrintAtt", editor_);
    cboRulePrinter = Named<QComboBox>("cboRulePrinter", editor_);
    captionPrinter_ = new QLabel(editor_);
    cmdSaveRule = Named<QPushButton>("cmdSaveRule", editor_);
    auto* printRow = new QHBoxLayout;
    printRow->addWidget(chkPrintBody);
    printRow->addWidget(chkPrintAtt);
    printRow->addStretch();
    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(captionPrinter_);
    printerRow->addWidget(cboRulePrinter, 1);
    auto* saveRow = new QHBoxLayout;
    saveRow->addStretch();
    saveRow->addWidget(cmdSaveRule);

    auto* editorLayout = new QVBoxLayout(editor_);
    editorLayout->addLayout(head);
    editorLayout->addWidget(terms_);
    editorLayout->addLayout(printRow);
    editorLayout->addLayout(printerRow);
    editorLayout->addStretch();
    editorLayout->addLayout(saveRow);

    auto* listButtons = new QGridLayout;
    listButtons->addWidget(cmdNewRule, 0, 0);
    listButtons->addWidget(cmdDupeRule, 0, 1);
    listButtons->addWidget(cmdRenRule, 1, 0);
    listButtons->addWidget(cmdDelRule, 1, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(lstRules, 1);
    left->addLayout(listButtons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addWidget(editor_, 5);

    QWidget* order[] = {lstRules,     cmdNewRule,  cmdDupeRule,     cmdRenRule,
                        cmdDelRule,   cboField[0], cboCondition[0], txtValue[0],
                        cboLogic[0],  cboField[1], cboCondition[1], txtValue[1],
                        cboLogic[1],  cboField[2], cboCondition[2], txtValue[2],
                        chkPrintBody, chkPrintAtt, cboRulePrinter,  cmdSaveRule};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void RulesTab::SetTexts() {
    editor_->setTitle(Q(VL("Rule")));
    captionId_->setText(Q(VL("Number:")));
    captionName_->setText(Q(VL("Name:")));
    terms_->setTitle(Q(VL("When the message matches")));
    chkPrintBody->setText(Q(VL("Print the message")));
    chkPrintAtt->setText(Q(VL("Print the attachments")));
    captionPrinter_->setText(Q(VL("On printer:")));
    cmdNewRule->setText(Q(VL("&New")));
    cmdDupeRule->setText(Q(VL("D&uplicate")));
    cmdRenRule->setText(Q(VL("&Rename")));
    cmdDelRule->setText(Q(VL("&Delete")));
    cmdSaveRule->setText(Q(VL("&Save")));
}

}  // namespace vellora::forms
