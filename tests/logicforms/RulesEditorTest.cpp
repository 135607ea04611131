// The rules tab with scripted dialogs: the save-time messages, the names that are refused,
// the default rule's protection and a save/load round trip through the controls.
#include <gtest/gtest.h>

#include "main/core/MainTexts.h"
#include "main/core/ScriptedDialogs.h"
#include "main/forms/RulesEditor.h"
#include "tests/logicforms/FormsApp.h"
#include "tests/support/TestSupport.h"

using namespace vellora;
using namespace vellora::forms;
namespace mt = vellora::core::texts;

namespace {

class RulesEditorTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"rulesgui"};
    core::ScriptedDialogs dialogs;
    std::unique_ptr<RulesTab> tab;
    std::unique_ptr<RulesEditor> ed;

    void SetUp() override {
        vtest::FormsApp();
        Reload();
    }
    void Reload() {
        ed.reset();
        tab = std::make_unique<RulesTab>();
        ed = std::make_unique<RulesEditor>(*tab, dialogs, dir / "vellora.ini");
        tab->cboRulePrinter->addItems(
            {QString::fromStdString(mt::kRuleUseDefaultPrinter.str()), "Laser", "Ink"});
        ed->FillRuleLists();
        ed->LoadRules();
    }
    void Choose(QComboBox* box, const QString& text) {
        box->setCurrentIndex(box->findText(text));
        emit box->activated(box->currentIndex());
    }
    std::string LastMessage() { return dialogs.asked().empty() ? "" : dialogs.asked().back().text; }
    void NewRule(const std::string& name) {
        dialogs.AnswerInput(name);
        ed->cmdNewRule_Click();
    }
};

TEST_F(RulesEditorTest, CombosOfferTheVocabulariesAfterAnEmptyEntry) {
    EXPECT_EQ(tab->cboField[0]->count(), 13);
    EXPECT_EQ(tab->cboField[0]->itemText(0), "");
    EXPECT_EQ(tab->cboCondition[2]->itemText(4), "Regex");
    EXPECT_EQ(tab->cboLogic[1]->itemText(2), "Or");
    EXPECT_FALSE(tab->cboField[1]->toolTip().isEmpty());
    ASSERT_EQ(tab->lstRules->count(), 1);
    EXPECT_EQ(tab->lstRules->item(0)->text().toStdString(), mt::kDefaultRuleName.str());
}

TEST_F(RulesEditorTest, SaveShowsTheFirstFailedCheckAndStoresNothing) {
    NewRule("Invoices");
    ASSERT_TRUE(ed->Dirty());
    Choose(tab->cboField[0], "Subject");
    tab->txtValue[0]->setText("x");
    ed->cmdSaveRule_Click();
    EXPECT_EQ(LastMessage(), mt::kMsgConditionMissing.str());
    EXPECT_EQ(dialogs.asked().back().title, mt::kTitleSaveRule.str());
    Choose(tab->cboField[0], "");
    ed->cmdSaveRule_Click();  // the value alone: the condition check comes first
    EXPECT_EQ(LastMessage(), mt::kMsgConditionMissing.str());
    Choose(tab->cboField[0], "Subject");
    Choose(tab->cboCondition[0], "Contains");
    Choose(tab->cboField[1], "Body");
    Choose(tab->cboCondition[1], "Regex");
    tab->txtValue[1]->setText("(");
    ed->cmdSaveRule_Click();
    EXPECT_EQ(LastMessage(), mt::kMsgJoinMissing.str());
    Choose(tab->cboLogic[0], "And");
    ed->cmdSaveRule_Click();
    EXPECT_NE(LastMessage().find(mt::kMsgBadPatternLead.str() + "2"), std::string::npos);
    EXPECT_EQ(core::LoadRules(dir / "vellora.ini").UserRuleCount(), 0);
    tab->txtValue[1]->setText("^Inv");
    ed->cmdSaveRule_Click();
    EXPECT_FALSE(ed->Dirty());
    EXPECT_EQ(core::LoadRules(dir / "vellora.ini").UserRuleCount(), 1);
}

TEST_F(RulesEditorTest, DefaultRuleNameIsRefusedAndTheDefaultRuleStaysPut) {
    dialogs.AnswerInput(mt::kDefaultRuleName.str());
    ed->cmdNewRule_Click();
    EXPECT_EQ(tab->lstRules->count(), 1);
    EXPECT_FALSE(ed->Dirty());
    NewRule("Mine");
    ed->cmdSaveRule_Click();
    ASSERT_EQ(tab->lstRules->count(), 2);
    ed->SelectRow(1);
    dialogs.AnswerInput(mt::kDefaultRuleName.str());
    ed->cmdDupeRule_Click();
    dialogs.AnswerInput(mt::kDefaultRuleName.str());
    ed->cmdRenRule_Click();
    dialogs.AnswerInput(std::string("Mine"));  // unchanged name: refused too
    ed->cmdRenRule_Click();
    EXPECT_EQ(tab->lstRules->count(), 2);
    EXPECT_EQ(tab->lstRules->item(1)->text(), "Mine");
    EXPECT_FALSE(ed->Dirty());
    // The default rule: rename asks nothing, delete asks nothing.
    ed->SelectRow(0);
    const auto asked = dialogs.asked().size();
    ed->cmdRenRule_Click();
    ed->cmdDelRule_Click();
    EXPECT_EQ(dialogs.asked().size(), asked);
    EXPECT_EQ(tab->lstRules->count(), 2);
}

TEST_F(RulesEditorTest, EveryFieldRoundTripsThroughTheEditorAndTheFile) {
    NewRule("Round trip");
    Choose(tab->cboField[0], "FromAddress");
    Choose(tab->cboCondition[0], "EndsWith");
    tab->txtValue[0]->setText("@example.org");
    Choose(tab->cboLogic[0], "Or");
    Choose(tab->cboField[1], "CcName");
    Choose(tab->cboCondition[1], "Equals");
    tab->txtValue[1]->setText("Dora");
    Choose(tab->cboLogic[1], "And");
    Choose(tab->cboField[2], "HasAttachment");
    Choose(tab->cboCondition[2], "StartsWith");
    tab->txtValue[2]->setText("x");
    tab->chkPrintBody->setChecked(false);
    tab->chkPrintAtt->setChecked(true);
    Choose(tab->cboRulePrinter, "Ink");
    ed->cmdSaveRule_Click();
    ASSERT_FALSE(ed->Dirty());

    Reload();
    ASSERT_EQ(tab->lstRules->count(), 2);
    ed->SelectRow(1);
    EXPECT_EQ(tab->lblRuleName->text(), "Round trip");
    EXPECT_EQ(tab->lblRuleID->text(), "1");
    EXPECT_EQ(tab->cboField[0]->currentText(), "FromAddress");
    EXPECT_EQ(tab->cboCondition[0]->currentText(), "EndsWith");
    EXPECT_EQ(tab->txtValue[0]->text(), "@example.org");
    EXPECT_EQ(tab->cboLogic[0]->currentText(), "Or");
    EXPECT_EQ(tab->cboField[1]->currentText(), "CcName");
    EXPECT_EQ(tab->cboCondition[1]->currentText(), "Equals");
    EXPECT_EQ(tab->txtValue[1]->text(), "Dora");
    EXPECT_EQ(tab->cboLogic[1]->currentText(), "And");
    EXPECT_EQ(tab->cboField[2]->currentText(), "HasAttachment");
    EXPECT_EQ(tab->cboCondition[2]->currentText(), "StartsWith");
    EXPECT_EQ(tab->txtValue[2]->text(), "x");
    EXPECT_FALSE(tab->chkPrintBody->isChecked());
    EXPECT_TRUE(tab->chkPrintAtt->isChecked());
    EXPECT_EQ(tab->cboRulePrinter->currentText(), "Ink");
    EXPECT_FALSE(ed->Dirty());
    tab->txtValue[1]->setText("Eve");
    EXPECT_TRUE(ed->Dirty());
}

TEST_F(RulesEditorTest, UnsavedChangeIsAskedAboutAndDeleteShiftsTheRules) {
    NewRule("One");
    ed->cmdSaveRule_Click();
    NewRule("Two");
    ed->cmdSaveRule_Click();
    ed->SelectRow(1);
    tab->txtValue[0]->setText("changed");
    dialogs.AnswerMessage(core::MsgResult::No);
    ed->SelectRow(2);
    EXPECT_EQ(dialogs.asked().back().text, core::RuleChangedQuestion("One"));
    EXPECT_EQ(tab->lblRuleName->text(), "Two");
    dialogs.AnswerMessage(core::MsgResult::Yes);
    ed->cmdDelRule_Click();
    EXPECT_EQ(dialogs.asked().back().text, core::DeleteRuleQuestion("Two"));
    const core::RuleBook b = core::LoadRules(dir / "vellora.ini");
    ASSERT_EQ(b.UserRuleCount(), 1);
    EXPECT_EQ(b.rules[1].name, "One");
    EXPECT_EQ(b.rules[1].value[0], "");  // the unsaved change was dropped
    ed->EnterTab();
    EXPECT_FALSE(tab->cboField[0]->isEnabled());
    EXPECT_TRUE(tab->lblRuleID->text().isEmpty());
}

}  // namespace
