// Tab 2: the rules, their list and the rule editor (three terms, two joins, what to print
// and where). The editing commands are connected by the rules code.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <array>

namespace vellora::forms {

class RulesTab : public QWidget {
    Q_OBJECT
  public:
    explicit RulesTab(QWidget* parent = nullptr);
    void SetTexts();

    QListWidget* lstRules;
    QListWidget* lstRuleID;  // hidden, parallel to lstRules
    QLabel* lblRuleID;
    QLabel* lblRuleName;
    std::array<QComboBox*, 3> cboField;
    std::array<QComboBox*, 3> cboCondition;
    std::array<QLineEdit*, 3> txtValue;
    std::array<QComboBox*, 2> cboLogic;
    QCheckBox* chkPrintBody;
    QCheckBox* chkPrintAtt;
    QComboBox* cboRulePrinter;
    QPushButton* cmdNewRule;
    QPushButton* cmdDupeRule;
    QPushButton* cmdRenRule;
    QPushButton* cmdDelRule;
    QPushButton* cmdSaveRule;

    int rememberedIndex = -1;  // the line last put into the editor by New or Duplicate

  private:
    QGroupBox* editor_;
    QGroupBox* terms_;
    QLabel* captionId_;
    QLabel* captionName_;
    QLabel* captionPrinter_;
};

}  // namespace vellora::forms
