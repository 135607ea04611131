// The rules tab's behaviour: loading and listing the rules, the editor with its tags and
// change mark, and the New, Duplicate, Rename, Delete and Save commands. The checks and the
// storage are the logic's (main/core/Rules.h); this class only moves values between them and
// the controls of RulesTab.
#pragma once

#include <QObject>
#include <string>

#include "main/core/ItemLimit.h"
#include "main/core/Rules.h"
#include "main/core/Seams.h"
#include "main/forms/RulesTab.h"

namespace vellora::forms {

class RulesEditor : public QObject {
    Q_OBJECT
  public:
    RulesEditor(RulesTab& tab, core::Dialogs& dialogs, std::string settingsPath,
                int itemLimit = core::kDefaultItemLimit);

    void FillRuleLists();  // the vocabularies after an empty entry, and the tool tips
    void LoadRules();      // reads the rules and fills the list
    void RefreshRuleList();
    // The rules as matching reads them; they change when the user saves.
    const core::RuleBook& Book() const { return book_; }

    void lstRules_Click();
    void cmdNewRule_Click();
    void cmdDupeRule_Click();
    void cmdRenRule_Click();
    void cmdDelRule_Click();
    void cmdSaveRule_Click();
    // The tab-change handler: the question when the rule was changed, and the reset of the
    // editor when the rules tab becomes current.
    void AskAboutUnsavedChange();
    void EnterTab();

    bool Dirty() const;
    void SelectRow(int row);  // selecting in code acts like a click

  private:
    void Connect();
    void SetDirty(bool dirty);
    void AskSaveChanged();
    bool AtLimit(const std::string& title);
    void ClearEditor();
    void EnableEditor(bool on);
    void FillEditor(const core::RuleRecord& rule);
    core::RuleEditorValues EditorValues() const;

    RulesTab& t_;
    core::Dialogs& dialogs_;
    std::string path_;
    int itemLimit_;
    core::RuleBook book_;
    bool filling_ = false;
};

}  // namespace vellora::forms
