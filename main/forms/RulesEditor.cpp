#include "main/forms/RulesEditor.h"

#include <QSignalBlocker>

#include "main/core/MainTexts.h"
#include "main/forms/QtText.h"

namespace vellora::forms {
namespace mt = vellora::core::texts;
using core::MsgButtons;
using core::MsgResult;

namespace {
QString Flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}
void Fill(QComboBox* box, const std::vector<std::string>& entries, const std::string& tip) {
    box->clear();
    for (const std::string& e : core::ComboEntries(entries)) box->addItem(Q(e));
    box->setToolTip(Q(tip));
}
// Selects the entry with exactly that text; an entry that matches nothing leaves the combo.
void SelectText(QComboBox* box, const std::string& text) {
    const int i = box->findText(Q(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i >= 0) box->setCurrentIndex(i);
    SetTag(box, Q(text));
}
}  // namespace

RulesEditor::RulesEditor(RulesTab& tab, core::Dialogs& dialogs, std::string settingsPath,
                         int itemLimit)
    : QObject(&tab),
      t_(tab),
      dialogs_(dialogs),
      path_(std::move(settingsPath)),
      itemLimit_(itemLimit) {
    book_.rules = {core::DefaultRule()};
    Connect();
}

void RulesEditor::Connect() {
    connect(t_.lstRules, &QListWidget::itemClicked, this, [this] { lstRules_Click(); });
    connect(t_.cmdNewRule, &QPushButton::clicked, this, [this] { cmdNewRule_Click(); });
    connect(t_.cmdDupeRule, &QPushButton::clicked, this, [this] { cmdDupeRule_Click(); });
    connect(t_.cmdRenRule, &QPushButton::clicked, this, [this] { cmdRenRule_Click(); });
    connect(t_.cmdDelRule, &QPushButton::clicked, this, [this] { cmdDelRule_Click(); });
    connect(t_.cmdSaveRule, &QPushButton::clicked, this, [this] { cmdSaveRule_Click(); });
    std::vector<QComboBox*> combos{t_.cboRulePrinter, t_.cboLogic[0], t_.cboLogic[1]};
    for (int k = 0; k < 3; ++k) {
        combos.push_back(t_.cboField[k]);
        combos.push_back(t_.cboCondition[k]);
        connect(t_.txtValue[k], &QLineEdit::textChanged, this, [this, k](const QString& s) {
            if (!filling_ && s != Tag(t_.txtValue[k])) SetDirty(true);
        });
    }
    for (QComboBox* box : combos)
        connect(box, &QComboBox::activated, this, [this, box] {
            if (!filling_ && box->currentText() != Tag(box)) SetDirty(true);
        });
    connect(t_.chkPrintAtt, &QCheckBox::clicked, this, [this] {
        if (Flag(t_.chkPrintAtt->isChecked()) != Tag(t_.chkPrintAtt)) SetDirty(true);
    });
    connect(t_.chkPrintBody, &QCheckBox::clicked, this, [this] {
        const QString tag = Tag(t_.chkPrintBody);
        if (!tag.isEmpty() && Flag(t_.chkPrintBody->isChecked()) != tag) SetDirty(true);
    });
}

void RulesEditor::FillRuleLists() {
    for (int k = 0; k < 3; ++k) {
        Fill(t_.cboField[k], core::RuleFields(), mt::kTipField);
        Fill(t_.cboCondition[k], core::RuleConditions(), mt::kTipCondition);
    }
    for (QComboBox* box : t_.cboLogic) Fill(box, core::RuleJoins(), mt::kTipLogic);
}

void RulesEditor::LoadRules() {
    book_ = core::LoadRules(path_);
    t_.rememberedIndex = -1;
    RefreshRuleList();
}

void RulesEditor::RefreshRuleList() {
    const QSignalBlocker a(t_.lstRules), b(t_.lstRuleID);
    t_.lstRules->clear();
    t_.lstRuleID->clear();
    for (const core::RuleListLine& line : core::RuleListLines(book_)) {
        t_.lstRules->addItem(Q(line.name));
        t_.lstRuleID->addItem(Q(line.idText));
    }
}

bool RulesEditor::Dirty() const {
    return t_.cmdSaveRule->font().bold();
}

void RulesEditor::SetDirty(bool dirty) {
    QFont f = t_.cmdSaveRule->font();
    f.setBold(dirty);
    t_.cmdSaveRule->setFont(f);
}

void RulesEditor::SelectRow(int row) {
    {
        const QSignalBlocker block(t_.lstRules);
        t_.lstRules->setCurrentRow(row);
    }
    lstRules_Click();
}

void RulesEditor::AskSaveChanged() {
    const MsgResult r = dialogs_.MessageBox(core::RuleChangedQuestion(S(t_.lblRuleName->text())),
                                            MsgButtons::YesNo, mt::kTitleSaveRule);
    if (r == MsgResult::Yes) {
        cmdSaveRule_Click();
    } else {
        SetDirty(false);
        RefreshRuleList();
    }
}

void RulesEditor::AskAboutUnsavedChange() {
    if (Dirty()) AskSaveChanged();
}

void RulesEditor::lstRules_Click() {
    const int index = t_.lstRules->currentRow();
    if (index < 0 || index == t_.rememberedIndex) return;
    if (Dirty()) {
        const MsgResult r =
            dialogs_.MessageBox(core::RuleChangedQuestion(S(t_.lblRuleName->text())),
                                MsgButtons::YesNo, mt::kTitleSaveRule);
        if (r == MsgResult::Yes) {
            cmdSaveRule_Click();
        } else {
            SetDirty(false);
            RefreshRuleList();
            const QSignalBlocker block(t_.lstRules);
            t_.lstRules->setCurrentRow(std::min(index, t_.lstRules->count() - 1));
        }
    }
    const int row = t_.lstRules->currentRow();
    if (row < 0 || row >= t_.lstRuleID->count()) return;
    const int id = t_.lstRuleID->item(row)->text().toInt();
    for (const core::RuleRecord& r : book_.rules) {
        if (r.loaded && r.id == id) {
            FillEditor(r);
            return;
        }
    }
}

void RulesEditor::FillEditor(const core::RuleRecord& r) {
    filling_ = true;
    t_.lblRuleID->setText(QString::number(r.id));
    t_.lblRuleName->setText(Q(r.name));
    for (int k = 0; k < 3; ++k) {
        SelectText(t_.cboField[k], r.field[k]);
        SelectText(t_.cboCondition[k], r.condition[k]);
        t_.txtValue[k]->setText(Q(r.value[k]));
        SetTag(t_.txtValue[k], Q(r.value[k]));
    }
    for (int k = 0; k < 2; ++k) SelectText(t_.cboLogic[k], r.join[k]);
    t_.chkPrintBody->setChecked(r.printBody);
    SetTag(t_.chkPrintBody, Flag(r.printBody));
    t_.chkPrintAtt->setChecked(r.printAtt);
    SetTag(t_.chkPrintAtt, Flag(r.printAtt));
    SelectText(t_.cboRulePrinter, r.printer);
    EnableEditor(true);
    filling_ = false;
}

void RulesEditor::ClearEditor() {
    filling_ = true;
    std::vector<QComboBox*> combos{t_.cboRulePrinter, t_.cboLogic[0], t_.cboLogic[1]};
    for (int k = 0; k < 3; ++k) {
        combos.push_back(t_.cboField[k]);
        combos.push_back(t_.cboCondition[k]);
        t_.txtValue[k]->clear();
        SetTag(t_.txtValue[k], QString());
    }
    for (QComboBox* box : combos) {
        box->setCurrentIndex(-1);
        SetTag(box, QString());
    }
    for (QCheckBox* c : {t_.chkPrintBody, t_.chkPrintAtt}) {
        c->setChecked(false);
        SetTag(c, Flag(false));
    }
    filling_ = false;
}

void RulesEditor::EnableEditor(bool on) {
    for (int k = 0; k < 3; ++k)
        for (QWidget* w :
             {static_cast<QWidget*>(t_.cboField[k]), static_cast<QWidget*>(t_.cboCondition[k]),
              static_cast<QWidget*>(t_.txtValue[k])})
            w->setEnabled(on);
    for (QWidget* w :
         {static_cast<QWidget*>(t_.cboLogic[0]), static_cast<QWidget*>(t_.cboLogic[1]),
          static_cast<QWidget*>(t_.chkPrintBody), static_cast<QWidget*>(t_.chkPrintAtt),
          static_cast<QWidget*>(t_.cboRulePrinter)})
        w->setEnabled(on);
}

bool RulesEditor::AtLimit(const std::string& title) {
    if (t_.lstRules->count() <= itemLimit_) return false;
    dialogs_.MessageBox(core::RuleLimitNewMessage(itemLimit_), MsgButtons::Ok, title);
    return true;
}

void RulesEditor::cmdNewRule_Click() {
    AskAboutUnsavedChange();
    if (AtLimit(mt::kTitleNewRule)) return;
    const auto name = dialogs_.InputBox(mt::kPromptRuleName, mt::kTitleNewRule, "");
    if (!core::AcceptRuleName(name, std::nullopt)) return;
    t_.lblRuleID->setText(QString::number(book_.highestId + 1));
    t_.lblRuleName->setText(Q(*name));
    t_.lstRules->addItem(Q(*name));
    t_.lstRuleID->addItem(QString::number(book_.highestId + 1));
    t_.rememberedIndex = t_.lstRules->count() - 1;
    {
        const QSignalBlocker block(t_.lstRules);
        t_.lstRules->setCurrentRow(t_.rememberedIndex);
    }
    ClearEditor();
    EnableEditor(true);
    SetDirty(true);
}

void RulesEditor::cmdDupeRule_Click() {
    if (t_.lstRules->currentRow() < 0) return;
    AskAboutUnsavedChange();
    if (AtLimit(mt::kTitleDupeRule)) return;
    const std::string current = S(t_.lblRuleName->text());
    const auto name = dialogs_.InputBox(mt::kPromptRuleName, mt::kTitleDupeRule, current);
    if (!core::AcceptRuleName(name, current)) return;
    t_.lblRuleID->setText(QString::number(book_.highestId + 1));
    t_.lblRuleName->setText(Q(*name));
    t_.lstRules->addItem(Q(*name));
    t_.lstRuleID->addItem(QString::number(book_.highestId + 1));
    t_.rememberedIndex = t_.lstRules->count() - 1;
    {
        const QSignalBlocker block(t_.lstRules);
        t_.lstRules->setCurrentRow(t_.rememberedIndex);
    }
    SetDirty(true);
}

void RulesEditor::cmdRenRule_Click() {
    const int row = t_.lstRules->currentRow();
    if (row < 0 || t_.lblRuleID->text().toInt() == -1 || t_.lblRuleID->text().isEmpty()) return;
    const std::string current = S(t_.lblRuleName->text());
    const auto name = dialogs_.InputBox(mt::kPromptRuleName, mt::kTitleRenameRule, current);
    if (!core::AcceptRuleName(name, current)) return;
    t_.lblRuleName->setText(Q(*name));
    t_.lstRules->item(row)->setText(Q(*name));
    SetDirty(true);
}

void RulesEditor::cmdDelRule_Click() {
    bool ok = false;
    const int id = t_.lblRuleID->text().toInt(&ok);
    if (!ok || id > book_.highestId) return;
    const core::RuleRecord* rule = nullptr;
    for (std::size_t i = 1; i < book_.rules.size(); ++i)
        if (book_.rules[i].loaded && book_.rules[i].id == id) rule = &book_.rules[i];
    if (!rule) return;
    if (dialogs_.MessageBox(core::DeleteRuleQuestion(rule->name), MsgButtons::YesNo,
                            mt::kTitleDeleteRule) != MsgResult::Yes)
        return;
    core::DeleteRule(book_, id, path_, itemLimit_);
    RefreshRuleList();
    SetDirty(false);
    t_.rememberedIndex = -1;
    SelectRow(t_.lstRules->count() - 1);
}

core::RuleEditorValues RulesEditor::EditorValues() const {
    core::RuleEditorValues e;
    e.idText = S(t_.lblRuleID->text());
    e.name = S(t_.lblRuleName->text());
    for (int k = 0; k < 3; ++k) {
        e.terms.field[k] = S(t_.cboField[k]->currentText());
        e.terms.condition[k] = S(t_.cboCondition[k]->currentText());
        e.terms.value[k] = S(t_.txtValue[k]->text());
    }
    for (int k = 0; k < 2; ++k) e.terms.join[k] = S(t_.cboLogic[k]->currentText());
    e.printBody = t_.chkPrintBody->isChecked();
    e.printAtt = t_.chkPrintAtt->isChecked();
    e.printerText = S(t_.cboRulePrinter->currentText());
    return e;
}

void RulesEditor::cmdSaveRule_Click() {
    const int selected = t_.lstRules->currentRow();
    const core::StoreResult r = core::StoreEditedRule(book_, EditorValues(), itemLimit_);
    switch (r.outcome) {
        case core::StoreOutcome::NoTarget:
            return;
        case core::StoreOutcome::Refused:
            dialogs_.MessageBox(r.check.message, MsgButtons::Ok, r.check.title);
            return;
        case core::StoreOutcome::OverLimit:
            dialogs_.MessageBox(core::RuleLimitSaveMessage(itemLimit_), MsgButtons::Ok,
                                mt::kTitleSaveRules);
            return;
        case core::StoreOutcome::Stored:
            break;
    }
    core::SaveRules(book_, path_, &dialogs_, itemLimit_);
    RefreshRuleList();
    SetDirty(false);
    t_.rememberedIndex = -1;
    SelectRow(std::min(selected, t_.lstRules->count() - 1));
}

void RulesEditor::EnterTab() {
    {
        const QSignalBlocker block(t_.lstRules);
        t_.lstRules->setCurrentRow(-1);
        t_.lstRules->clearSelection();
    }
    t_.lblRuleID->clear();
    t_.lblRuleName->clear();
    ClearEditor();
    EnableEditor(false);
}

}  // namespace vellora::forms
