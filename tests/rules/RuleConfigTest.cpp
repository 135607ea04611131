// Storing rules: the save-time checks in their order, the editor's naming rules, and the
// settings round trip of every field.
#include <gtest/gtest.h>

#include "main/core/ItemLimit.h"
#include "main/core/MainTexts.h"
#include "main/core/Rules.h"
#include "main/core/ScriptedDialogs.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;
namespace mt = vellora::core::texts;

namespace {

RuleTerms Terms(std::vector<std::array<std::string, 3>> terms,
                std::vector<std::string> joins = {}) {
    RuleTerms t;
    for (std::size_t k = 0; k < terms.size(); ++k) {
        t.field[k] = terms[k][0];
        t.condition[k] = terms[k][1];
        t.value[k] = terms[k][2];
    }
    for (std::size_t k = 0; k < joins.size(); ++k) t.join[k] = joins[k];
    return t;
}

RuleProblem ProblemOf(const RuleTerms& t) {
    return CheckRuleTerms(t).problem;
}

TEST(RuleChecks, TermChecksComeInTheirFixedOrder) {
    // Field and value without condition; field alone; value alone: the condition check first.
    EXPECT_EQ(ProblemOf(Terms({{"Subject", "", "x"}})), RuleProblem::ConditionMissing);
    EXPECT_EQ(ProblemOf(Terms({{"Subject", "", ""}})), RuleProblem::ConditionMissing);
    EXPECT_EQ(ProblemOf(Terms({{"", "", "x"}})), RuleProblem::ConditionMissing);
    EXPECT_EQ(ProblemOf(Terms({{"Subject", "Contains", ""}})), RuleProblem::ValueMissing);
    EXPECT_EQ(ProblemOf(Terms({{"", "Contains", ""}})), RuleProblem::ValueMissing);
    EXPECT_EQ(ProblemOf(Terms({{"", "Contains", "x"}})), RuleProblem::FieldMissing);
    // A single character does not count as a chosen condition.
    EXPECT_EQ(ProblemOf(Terms({{"Subject", "C", "x"}})), RuleProblem::ConditionMissing);
    EXPECT_EQ(ProblemOf(Terms({})), RuleProblem::None);
    EXPECT_EQ(ProblemOf(Terms({{"Subject", "Contains", "x"}})), RuleProblem::None);
    // The term found at is reported, and the message is the OK box's text.
    RuleCheck c =
        CheckRuleTerms(Terms({{"Subject", "Contains", "x"}, {"", "", ""}, {"Body", "", "y"}}));
    EXPECT_EQ(c.term, 2);
    EXPECT_EQ(c.message, mt::kMsgConditionMissing.str());
    EXPECT_EQ(c.title, mt::kTitleSaveRule.str());
}

TEST(RuleChecks, JoinsNeedCompleteTermsOnBothSides) {
    const std::array<std::string, 3> full{"Subject", "Contains", "x"};
    EXPECT_EQ(ProblemOf(Terms({full, full})), RuleProblem::JoinMissing);
    EXPECT_EQ(ProblemOf(Terms({full, {}}, {"And"})), RuleProblem::FieldMissing);
    EXPECT_EQ(ProblemOf(Terms({{}, full}, {"Or"})), RuleProblem::FieldMissing);
    EXPECT_EQ(ProblemOf(Terms({full, full}, {"And"})), RuleProblem::None);
    EXPECT_EQ(ProblemOf(Terms({full, full, full}, {"And"})), RuleProblem::JoinMissing);
    EXPECT_EQ(ProblemOf(Terms({full, full, full}, {"And", "Or"})), RuleProblem::None);
    EXPECT_EQ(ProblemOf(Terms({full, full, {}}, {"And", "Or"})), RuleProblem::FieldMissing);
    // A single-character join is not set: with a complete next term, that is a missing join.
    EXPECT_EQ(ProblemOf(Terms({full, full}, {"A"})), RuleProblem::JoinMissing);
}

TEST(RuleChecks, InvalidPatternIsRefusedNamingItsTerm) {
    const std::array<std::string, 3> full{"Subject", "Contains", "x"};
    RuleCheck c = CheckRuleTerms(Terms({full, {"Body", "Regex", "[a-"}}, {"And"}));
    EXPECT_EQ(c.problem, RuleProblem::BadPattern);
    EXPECT_EQ(c.term, 1);
    EXPECT_NE(c.message.find(mt::kMsgBadPatternLead.str() + "2"), std::string::npos);
    EXPECT_EQ(ProblemOf(Terms({{"Body", "Regex", "^Re: [A-Z]+\\d{2}$"}})), RuleProblem::None);
    // The fixed checks still come first.
    EXPECT_EQ(ProblemOf(Terms({{"", "Regex", "[a-"}})), RuleProblem::FieldMissing);
}

TEST(RuleChecks, DefaultRuleNameIsNeverTakenAndNamesMustChange) {
    const std::string def = mt::kDefaultRuleName;
    EXPECT_FALSE(AcceptRuleName(def, std::nullopt));        // New
    EXPECT_FALSE(AcceptRuleName(def, std::string("Old")));  // Duplicate, Rename
    EXPECT_FALSE(AcceptRuleName(std::string("Old"), std::string("Old")));
    EXPECT_FALSE(AcceptRuleName(std::string(""), std::nullopt));
    EXPECT_FALSE(AcceptRuleName(std::nullopt, std::nullopt));  // cancelled
    EXPECT_TRUE(AcceptRuleName(std::string("Invoices"), std::nullopt));
    EXPECT_TRUE(AcceptRuleName(std::string("New"), std::string("Old")));
}

class RuleStoreTest : public ::testing::Test {
  protected:
    vtest::TempDir dir{"rulestore"};
    std::string ini = dir / "vellora.ini";
};

TEST_F(RuleStoreTest, EmptyFileGivesOnlyTheDefaultRule) {
    RuleBook b = LoadRules(ini);
    ASSERT_EQ(b.rules.size(), 1u);
    EXPECT_EQ(b.rules[0].id, -1);
    EXPECT_EQ(b.rules[0].name, mt::kDefaultRuleName.str());
    EXPECT_TRUE(b.rules[0].printBody);
    EXPECT_FALSE(b.rules[0].printAtt);
    EXPECT_EQ(b.rules[0].printer, mt::kRuleUseDefaultPrinter.str());
    EXPECT_EQ(b.highestId, 0);
}

TEST_F(RuleStoreTest, EveryFieldSurvivesSaveAndLoad) {
    RuleBook b = LoadRules(ini);
    b.rules[0].field[1] = "Subject";
    b.rules[0].condition[1] = "Equals";
    b.rules[0].value[1] = "x";
    b.rules[0].printBody = false;
    RuleRecord r;
    r.id = 7;
    r.name = "Invoices";
    r.field = {"FromAddress", "Subject", "HasAttachment"};
    r.condition = {"EndsWith", "Regex", "Contains"};
    r.value = {"@example.org", "^Inv\\d+ ; =x", "  padded"};
    r.join = {"And", "Or"};
    r.printBody = false;
    r.printAtt = true;
    r.printer = "Office Laser";
    r.loaded = true;
    b.rules.push_back(r);
    RuleRecord s = r;
    s.id = 3;
    s.name = "Second";
    s.printBody = true;
    s.printAtt = false;
    s.printer = mt::kRuleUseDefaultPrinter;
    b.rules.push_back(s);
    ASSERT_TRUE(SaveRules(b, ini, nullptr));

    RuleBook c = LoadRules(ini);
    ASSERT_EQ(c.rules.size(), 3u);
    EXPECT_EQ(c.highestId, 7);
    for (std::size_t i = 0; i < 3; ++i) {
        const RuleRecord &x = b.rules[i], &y = c.rules[i];
        EXPECT_EQ(x.id, y.id);
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.field, y.field);
        EXPECT_EQ(x.condition, y.condition);
        EXPECT_EQ(x.join, y.join);
        EXPECT_EQ(x.printBody, y.printBody);
        EXPECT_EQ(x.printAtt, y.printAtt);
        EXPECT_EQ(x.printer, y.printer);
        // The settings engine trims values, as the platform's profile calls do.
        for (int k = 0; k < 3; ++k) {
            std::string want = x.value[k];
            want.erase(0, want.find_first_not_of(' '));
            EXPECT_EQ(want, y.value[k]);
        }
    }
}

TEST_F(RuleStoreTest, LoadingDropsASectionWithoutIdentifierAndCorrectsTheCount) {
    basINI_IO::WriteSettingNumber(3, ini, vellora::texts::kRulesSection,
                                  vellora::texts::kKeyRuleCount);
    basINI_IO::WriteSettingNumber(5, ini, "Rule1", vellora::texts::kKeyRuleId);
    basINI_IO::WriteSettingNumber(9, ini, "Rule3", vellora::texts::kKeyRuleId);
    basINI_IO::WriteSettingText("Letters", ini, "Rule3", vellora::texts::kKeyRuleName);
    RuleBook b = LoadRules(ini);
    ASSERT_EQ(b.rules.size(), 3u);  // the empty slot is gone, the rule after it kept
    EXPECT_TRUE(b.rules[1].loaded);
    EXPECT_EQ(b.rules[1].name, vellora::texts::kNoRuleName.str());
    EXPECT_FALSE(b.rules[1].printBody);
    EXPECT_EQ(b.rules[2].id, 9);
    EXPECT_EQ(b.rules[2].name, "Letters");
    EXPECT_EQ(b.highestId, 9);
}

TEST_F(RuleStoreTest, ADamagedFileNeverComesBackAsRulesThatMatchEverything) {
    namespace t = vellora::texts;
    basINI_IO::WriteSettingNumber(3, ini, t::kRulesSection, t::kKeyRuleCount);
    basINI_IO::WriteSettingNumber(5, ini, "Rule1", t::kKeyRuleId);
    basINI_IO::WriteSettingText("Invoices", ini, "Rule1", t::kKeyRuleName);
    // Rules 2 and 3 lost their sections.
    RuleBook b = LoadRules(ini);
    // A slot that never loaded (as an editor might still hold one) is not written either.
    b.rules.push_back(RuleRecord{});
    SaveRules(b, ini, nullptr);
    EXPECT_EQ(basINI_IO::ReadSettingNumber(ini, t::kRulesSection, t::kKeyRuleCount), 1);
    EXPECT_EQ(basINI_IO::ReadSettingNumber(ini, "Rule2", t::kKeyRuleId), -1);
    EXPECT_EQ(vtest::ReadFile(ini).find("ID=0"), std::string::npos) << vtest::ReadFile(ini);
    RuleBook c = LoadRules(ini);
    ASSERT_EQ(c.rules.size(), 2u);
    EXPECT_EQ(c.rules[1].name, "Invoices");

    // A file in which such a slot was already written (identifier 0, no name, no terms).
    basINI_IO::WriteSettingNumber(2, ini, t::kRulesSection, t::kKeyRuleCount);
    basINI_IO::WriteSettingNumber(0, ini, "Rule2", t::kKeyRuleId);
    basINI_IO::WriteSettingText("", ini, "Rule2", t::kKeyRuleName);
    RuleBook d = LoadRules(ini);
    ASSERT_EQ(d.rules.size(), 2u);
    EXPECT_EQ(d.rules[1].id, 5);
    SaveRules(d, ini, nullptr);
    EXPECT_EQ(basINI_IO::ReadSettingNumber(ini, t::kRulesSection, t::kKeyRuleCount), 1);
}

TEST_F(RuleStoreTest, StoreFindsTheTargetChecksAndRaisesTheHighestId) {
    RuleBook b = LoadRules(ini);
    RuleEditorValues e;
    e.idText = "1";
    e.name = "First";
    e.terms = Terms({{"Subject", "Contains", "x"}});
    e.printAtt = true;
    e.printerText = "L";  // too short to be a printer: the use-default text
    StoreResult r = StoreEditedRule(b, e);
    ASSERT_EQ(r.outcome, StoreOutcome::Stored);
    EXPECT_EQ(r.position, 1);
    EXPECT_EQ(b.highestId, 1);
    EXPECT_EQ(b.rules[1].printer, mt::kRuleUseDefaultPrinter.str());

    e.terms = Terms({{"Subject", "", "x"}});
    r = StoreEditedRule(b, e);
    EXPECT_EQ(r.outcome, StoreOutcome::Refused);
    EXPECT_EQ(b.rules[1].condition[0], "Contains");  // nothing stored

    e.idText = "-1";  // the default rule: terms editable, name fixed
    e.name = "whatever";
    e.terms = Terms({{"Body", "Contains", "y"}});
    r = StoreEditedRule(b, e);
    ASSERT_EQ(r.outcome, StoreOutcome::Stored);
    EXPECT_EQ(r.position, 0);
    EXPECT_EQ(b.rules[0].name, mt::kDefaultRuleName.str());
    EXPECT_EQ(b.rules[0].id, -1);

    b.highestId = 5;
    e.idText = "4";  // not new, and no rule has it
    EXPECT_EQ(StoreEditedRule(b, e).outcome, StoreOutcome::NoTarget);
}

TEST_F(RuleStoreTest, ItemLimitHoldsOnStoreAndOnSave) {
    // The window may hold a smaller limit than the default; a small one keeps the test quick.
    constexpr int kLimit = 4;
    RuleBook b = LoadRules(ini);
    for (int i = 1; i <= kLimit; ++i) {
        RuleEditorValues e;
        e.idText = std::to_string(b.highestId + 1);
        e.name = "r" + std::to_string(i);
        ASSERT_EQ(StoreEditedRule(b, e, kLimit).outcome, StoreOutcome::Stored);
    }
    RuleEditorValues e;
    e.idText = std::to_string(b.highestId + 1);
    e.name = "one too many";
    EXPECT_EQ(StoreEditedRule(b, e, kLimit).outcome, StoreOutcome::OverLimit);
    EXPECT_EQ(b.UserRuleCount(), kLimit);
    b.rules.push_back(b.rules.back());  // more than the limit, as a hand-edited file may give
    vellora::core::ScriptedDialogs dialogs;
    EXPECT_FALSE(SaveRules(b, ini, &dialogs, kLimit));
    EXPECT_EQ(LoadRules(ini).UserRuleCount(), kLimit);
    ASSERT_EQ(dialogs.asked().size(), 1u);
    EXPECT_EQ(dialogs.asked()[0].text, RuleLimitSaveMessage(kLimit));
    EXPECT_EQ(dialogs.asked()[0].title, mt::kTitleSaveRules.str());
    const std::string msg = RuleLimitSaveMessage(kDefaultItemLimit);
    const std::string n = std::to_string(kDefaultItemLimit);
    EXPECT_NE(msg.find(n), msg.rfind(n));  // the limit named twice
}

TEST_F(RuleStoreTest, DeleteShiftsLaterRulesAndDropsTheLastSection) {
    RuleBook b = LoadRules(ini);
    for (int i = 1; i <= 3; ++i) {
        RuleEditorValues e;
        e.idText = std::to_string(i);
        e.name = "r" + std::to_string(i);
        StoreEditedRule(b, e);
    }
    SaveRules(b, ini, nullptr);
    EXPECT_FALSE(DeleteRule(b, -1, ini));  // never the default rule
    EXPECT_FALSE(DeleteRule(b, 9, ini));
    ASSERT_TRUE(DeleteRule(b, 2, ini));
    RuleBook c = LoadRules(ini);
    ASSERT_EQ(c.rules.size(), 3u);
    EXPECT_EQ(c.rules[1].name, "r1");
    EXPECT_EQ(c.rules[2].name, "r3");
    EXPECT_EQ(basINI_IO::ReadSettingNumber(ini, "Rule3", vellora::texts::kKeyRuleId), -1);
    const auto lines = RuleListLines(c);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].idText, "-1");
    EXPECT_EQ(lines[2].idText, "3");
}

TEST(RuleVocabulary, CombosOfferAnEmptyEntryThenTheFixedOrder) {
    const auto fields = ComboEntries(RuleFields());
    ASSERT_EQ(fields.size(), 13u);
    EXPECT_EQ(fields[0], "");
    EXPECT_EQ(fields[1], "Account");
    EXPECT_EQ(fields[9], "SenderAuthenticated");
    EXPECT_EQ(fields[12], "ToName");
    EXPECT_EQ(
        ComboEntries(RuleConditions()),
        (std::vector<std::string>{"", "Contains", "EndsWith", "Equals", "Regex", "StartsWith"}));
    EXPECT_EQ(ComboEntries(RuleJoins()), (std::vector<std::string>{"", "And", "Or"}));
    for (const auto& v : {RuleFields(), RuleConditions()})
        for (const auto& s : v) EXPECT_GE(s.size(), 4u);
}

}  // namespace
