// The rules: the record, the vocabularies, loading and saving, and the checks a rule must pass
// before it is stored. Matching a message against the rules is in RuleMatch.h.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "main/core/ItemLimit.h"
#include "main/core/Seams.h"

namespace vellora::core {

struct RuleRecord {
    std::int16_t id = 0;  // -1 for the default rule
    std::string name;
    std::array<std::string, 3> field, condition, value;
    std::array<std::string, 2> join;
    bool printBody = false;
    bool printAtt = false;
    std::string printer;
    // False for an empty slot that holds no rule: it has no terms and would otherwise match
    // (and swallow) every message, so it is never matched and never written.
    bool loaded = false;
};

// Position 0 of the rule array; user rules follow in settings order.
struct RuleBook {
    std::vector<RuleRecord> rules;
    int highestId = 0;
    int UserRuleCount() const { return rules.empty() ? 0 : static_cast<int>(rules.size()) - 1; }
};

RuleRecord DefaultRule();  // the default rule as absent settings give it

// The vocabularies in combo order, without the empty first entry.
std::vector<std::string> RuleFields();
std::vector<std::string> RuleConditions();
std::vector<std::string> RuleJoins();
// The same with the empty first entry the combos offer.
std::vector<std::string> ComboEntries(const std::vector<std::string>& vocabulary);

// A section of a damaged file without a valid identifier (1 and up) is dropped, and the
// rules after it move up: the book holds only rules that loaded.
RuleBook LoadRules(const std::string& settingsPath);
// Writes the whole array, leaving out slots that never loaded. When there are more user rules
// than the item limit, only that many are written and the limit message is shown (when
// dialogs is given); returns false then.
bool SaveRules(const RuleBook& book, const std::string& settingsPath, Dialogs* dialogs,
               int itemLimit = kDefaultItemLimit);

// --- editor checks and commands, free of any window ---

struct RuleTerms {
    std::array<std::string, 3> field, condition, value;
    std::array<std::string, 2> join;
};

enum class RuleProblem {
    None,
    FieldMissing,
    ConditionMissing,
    ValueMissing,
    JoinMissing,
    BadPattern
};

struct RuleCheck {
    RuleProblem problem = RuleProblem::None;
    int term = -1;        // 0-based term the problem was found at
    std::string message;  // the text of the OK box (empty when there is no problem)
    std::string title;
};

// The save-time checks in their fixed order; a Regex term whose pattern does not compile is
// refused last, with a message naming the term and the engine's reason.
RuleCheck CheckRuleTerms(const RuleTerms& terms);

struct RuleEditorValues {
    std::string idText;  // lblRuleID
    std::string name;    // lblRuleName
    RuleTerms terms;
    bool printBody = false;
    bool printAtt = false;
    std::string printerText;  // cboRulePrinter
};

enum class StoreOutcome { Stored, NoTarget, Refused, OverLimit };
struct StoreResult {
    StoreOutcome outcome = StoreOutcome::NoTarget;
    RuleCheck check;    // for Refused
    int position = -1;  // for Stored
};

// Save steps 1 to 4: finds the target, checks the terms, stores the rule in the book and
// raises the highest identifier. The caller then writes the book (SaveRules) and refreshes.
StoreResult StoreEditedRule(RuleBook& book, const RuleEditorValues& editor,
                            int itemLimit = kDefaultItemLimit);

// Whether a name typed for a new, duplicated or renamed rule may be taken. currentName is
// the editor's name for Duplicate and Rename (which must differ from it).
bool AcceptRuleName(const std::optional<std::string>& typed,
                    const std::optional<std::string>& currentName);

// The rule-limit messages: for Save (limit named twice) and for New and Duplicate.
std::string RuleLimitSaveMessage(int itemLimit = kDefaultItemLimit);
std::string RuleLimitNewMessage(int itemLimit = kDefaultItemLimit);
std::string RuleChangedQuestion(const std::string& name);
std::string DeleteRuleQuestion(const std::string& name);

// Delete steps: finds the user rule with that id, shifts the later ones down, removes the
// section of the old last position and writes the book. False when there is no such rule.
bool DeleteRule(RuleBook& book, int id, const std::string& settingsPath,
                int itemLimit = kDefaultItemLimit);

// The names and identifiers the rule list shows, default rule first, empty names left out.
struct RuleListLine {
    std::string name;
    std::string idText;
};
std::vector<RuleListLine> RuleListLines(const RuleBook& book);

}  // namespace vellora::core
