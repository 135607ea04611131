#include "main/core/Rules.h"

#include <charconv>

#include "main/core/MainTexts.h"
#include "platform/regex/Regex.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"

namespace vellora::core {
namespace t = vellora::texts;
namespace mt = vellora::core::texts;

namespace {

std::string Numbered(const std::string& key, int k) {
    return key + std::to_string(k);
}

std::string ReadTextOr(const std::string& path, const std::string& section, const std::string& key,
                       const std::string& absent) {
    std::string v = basINI_IO::ReadSettingText(path, section, key);
    return v == basINI_IO::MissingValue() ? absent : v;
}

// Terms, joins, flags and printer: the keys the default rule shares with every user rule.
void ReadRuleBody(const std::string& path, const std::string& section, bool bodyDefault,
                  RuleRecord& r) {
    for (int k = 0; k < 3; ++k) {
        r.field[k] = ReadTextOr(path, section, Numbered(t::kKeyRuleField, k), "");
        r.condition[k] = ReadTextOr(path, section, Numbered(t::kKeyRuleCondition, k), "");
        r.value[k] = ReadTextOr(path, section, Numbered(t::kKeyRuleValue, k), "");
    }
    for (int k = 0; k < 2; ++k)
        r.join[k] = ReadTextOr(path, section, Numbered(t::kKeyRuleJoin, k), "");
    const int body = basINI_IO::ReadSettingNumber(path, section, t::kKeyRulePrintBody);
    r.printBody = body == -1 ? bodyDefault : body == 1;
    r.printAtt = basINI_IO::ReadSettingNumber(path, section, t::kKeyRulePrintAtt) == 1;
    r.printer = ReadTextOr(path, section, t::kKeyRulePrinter, mt::kRuleUseDefaultPrinter);
    r.loaded = true;
}

void WriteRuleBody(const std::string& path, const std::string& section, const RuleRecord& r) {
    for (int k = 0; k < 3; ++k) {
        basINI_IO::WriteSettingText(r.field[k], path, section, Numbered(t::kKeyRuleField, k));
        basINI_IO::WriteSettingText(r.condition[k], path, section,
                                    Numbered(t::kKeyRuleCondition, k));
        basINI_IO::WriteSettingText(r.value[k], path, section, Numbered(t::kKeyRuleValue, k));
    }
    for (int k = 0; k < 2; ++k)
        basINI_IO::WriteSettingText(r.join[k], path, section, Numbered(t::kKeyRuleJoin, k));
    basINI_IO::WriteSettingNumber(r.printBody ? 1 : 0, path, section, t::kKeyRulePrintBody);
    basINI_IO::WriteSettingNumber(r.printAtt ? 1 : 0, path, section, t::kKeyRulePrintAtt);
    basINI_IO::WriteSettingText(r.printer, path, section, t::kKeyRulePrinter);
}

std::string RuleSection(int i) {
    return Numbered(t::kRulePrefix, i);
}

RuleCheck Problem(RuleProblem p, int term, std::string message) {
    return {p, term, std::move(message), mt::kTitleSaveRule.str()};
}

bool Set2(const std::string& s) {
    return s.size() >= 2;
}

// Steps 1 to 3 of one term.
RuleCheck CheckOneTerm(const RuleTerms& t, int k) {
    const bool f = Set2(t.field[k]), c = Set2(t.condition[k]), v = !t.value[k].empty();
    if ((f || v) && !c) return Problem(RuleProblem::ConditionMissing, k, mt::kMsgConditionMissing);
    if ((f || c) && !v) return Problem(RuleProblem::ValueMissing, k, mt::kMsgValueMissing);
    if (v && !f) return Problem(RuleProblem::FieldMissing, k, mt::kMsgFieldMissing);
    return {};
}

// A term on either side of a set join must be complete: field, condition, value in turn.
RuleCheck CheckCompleteTerm(const RuleTerms& t, int k) {
    if (!Set2(t.field[k])) return Problem(RuleProblem::FieldMissing, k, mt::kMsgFieldMissing);
    if (!Set2(t.condition[k]))
        return Problem(RuleProblem::ConditionMissing, k, mt::kMsgConditionMissing);
    if (t.value[k].empty()) return Problem(RuleProblem::ValueMissing, k, mt::kMsgValueMissing);
    return {};
}

bool Complete(const RuleTerms& t, int k) {
    return Set2(t.field[k]) && Set2(t.condition[k]) && !t.value[k].empty();
}

std::optional<int> ParseId(const std::string& text) {
    int v = 0;
    const char* b = text.data();
    const char* e = b + text.size();
    auto [p, ec] = std::from_chars(b, e, v);
    if (ec != std::errc() || p != e) return std::nullopt;
    return v;
}

}  // namespace

RuleRecord DefaultRule() {
    RuleRecord r;
    r.id = -1;
    r.name = mt::kDefaultRuleName.str();
    r.printBody = true;
    r.printer = mt::kRuleUseDefaultPrinter.str();
    r.loaded = true;
    return r;
}

std::vector<std::string> RuleFields() {
    return {mt::kFieldAccount,   mt::kFieldAttachmentName, mt::kFieldBody,
            mt::kFieldCcAddress, mt::kFieldCcName,         mt::kFieldFromAddress,
            mt::kFieldFromName,  mt::kFieldHasAttachment,  mt::kFieldSenderAuthenticated,
            mt::kFieldSubject,   mt::kFieldToAddress,      mt::kFieldToName};
}
std::vector<std::string> RuleConditions() {
    return {mt::kCondContains, mt::kCondEndsWith, mt::kCondEquals, mt::kCondRegex,
            mt::kCondStartsWith};
}
std::vector<std::string> RuleJoins() {
    return {mt::kJoinAnd, mt::kJoinOr};
}

std::vector<std::string> ComboEntries(const std::vector<std::string>& vocabulary) {
    std::vector<std::string> out{""};
    out.insert(out.end(), vocabulary.begin(), vocabulary.end());
    return out;
}

RuleBook LoadRules(const std::string& path) {
    RuleBook book;
    int count = basINI_IO::ReadSettingNumber(path, t::kRulesSection, t::kKeyRuleCount);
    if (count < 0) count = 0;
    book.rules.push_back(DefaultRule());
    ReadRuleBody(path, t::kDefaultRuleSection, true, book.rules[0]);
    for (int i = 1; i <= count; ++i) {
        const std::string section = RuleSection(i);
        const int id = basINI_IO::ReadSettingNumber(path, section, t::kKeyRuleId);
        // A damaged file: a slot without a rule of its own (no identifier, or the 0 an empty
        // slot was once saved with) is dropped. Kept, it would have no terms and match, and
        // swallow, every message; the rules after it are still read.
        if (id < 1 || id > INT16_MAX) continue;
        RuleRecord r;
        r.id = static_cast<std::int16_t>(id);
        r.name = ReadTextOr(path, section, t::kKeyRuleName, t::kNoRuleName);
        ReadRuleBody(path, section, false, r);
        book.rules.push_back(std::move(r));
        if (id > book.highestId) book.highestId = id;
    }
    return book;
}

bool SaveRules(const RuleBook& book, const std::string& path, Dialogs* dialogs, int itemLimit) {
    if (book.rules.empty()) return true;
    WriteRuleBody(path, t::kDefaultRuleSection, book.rules[0]);
    // A slot that never loaded holds no rule: written, it would come back as one.
    std::vector<const RuleRecord*> rules;
    for (std::size_t i = 1; i < book.rules.size(); ++i)
        if (book.rules[i].loaded) rules.push_back(&book.rules[i]);
    int n = static_cast<int>(rules.size());
    const bool within = n <= itemLimit;
    if (!within) {
        n = itemLimit;
        if (dialogs)
            dialogs->MessageBox(RuleLimitSaveMessage(itemLimit), MsgButtons::Ok,
                                mt::kTitleSaveRules);
    }
    basINI_IO::WriteSettingNumber(n, path, t::kRulesSection, t::kKeyRuleCount);
    for (int i = 1; i <= n; ++i) {
        const RuleRecord& r = *rules[static_cast<std::size_t>(i - 1)];
        const std::string section = RuleSection(i);
        basINI_IO::WriteSettingNumber(r.id, path, section, t::kKeyRuleId);
        basINI_IO::WriteSettingText(r.name, path, section, t::kKeyRuleName);
        WriteRuleBody(path, section, r);
    }
    return within;
}

RuleCheck CheckRuleTerms(const RuleTerms& terms) {
    for (int k = 0; k < 3; ++k) {
        if (RuleCheck c = CheckOneTerm(terms, k); c.problem != RuleProblem::None) return c;
        if (k == 2) break;
        if (Set2(terms.join[k])) {
            if (RuleCheck c = CheckCompleteTerm(terms, k); c.problem != RuleProblem::None) return c;
            if (RuleCheck c = CheckCompleteTerm(terms, k + 1); c.problem != RuleProblem::None)
                return c;
        } else if (Complete(terms, k + 1)) {
            return Problem(RuleProblem::JoinMissing, k, mt::kMsgJoinMissing);
        }
    }
    for (int k = 0; k < 3; ++k) {
        if (terms.condition[k] != mt::kCondRegex.str() || terms.value[k].empty()) continue;
        if (std::string why = regex::PatternError(terms.value[k]); !why.empty())
            return Problem(RuleProblem::BadPattern, k,
                           mt::kMsgBadPatternLead.str() + std::to_string(k + 1) +
                               mt::kMsgBadPatternMid.str() + why);
    }
    return {};
}

StoreResult StoreEditedRule(RuleBook& book, const RuleEditorValues& e, int itemLimit) {
    StoreResult result;
    const std::optional<int> id = ParseId(e.idText);
    if (!id || book.rules.empty()) return result;
    int target = -1;
    if (*id > book.highestId) {
        target = book.UserRuleCount() + 1;
    } else {
        for (std::size_t i = 0; i < book.rules.size(); ++i)
            if (book.rules[i].loaded && book.rules[i].id == *id) target = static_cast<int>(i);
        if (target < 0) return result;
    }
    result.check = CheckRuleTerms(e.terms);
    if (result.check.problem != RuleProblem::None) {
        result.outcome = StoreOutcome::Refused;
        return result;
    }
    RuleRecord r;
    r.id = static_cast<std::int16_t>(*id);
    r.name = target == 0 ? DefaultRule().name : e.name;
    r.field = e.terms.field;
    r.condition = e.terms.condition;
    r.value = e.terms.value;
    r.join = e.terms.join;
    r.printBody = e.printBody;
    r.printAtt = e.printAtt;
    r.printer = e.printerText.size() >= 2 ? e.printerText : mt::kRuleUseDefaultPrinter.str();
    r.loaded = true;
    if (target > itemLimit) {
        result.outcome = StoreOutcome::OverLimit;
        return result;
    }
    if (target >= static_cast<int>(book.rules.size())) book.rules.resize(target + 1);
    book.rules[static_cast<std::size_t>(target)] = r;
    if (*id > book.highestId) book.highestId = *id;
    result.outcome = StoreOutcome::Stored;
    result.position = target;
    return result;
}

bool AcceptRuleName(const std::optional<std::string>& typed,
                    const std::optional<std::string>& currentName) {
    if (!typed || typed->empty()) return false;
    if (*typed == mt::kDefaultRuleName.str()) return false;
    return !currentName || *typed != *currentName;
}

std::string RuleLimitSaveMessage(int itemLimit) {
    const std::string n = std::to_string(itemLimit);
    return mt::kMsgRuleLimitLead.str() + n + mt::kMsgRuleLimitMid.str() + n +
           mt::kMsgRuleLimitEnd.str();
}
std::string RuleLimitNewMessage(int itemLimit) {
    return mt::kMsgRuleLimitLead.str() + std::to_string(itemLimit) + mt::kMsgRuleLimitDot.str();
}
std::string RuleChangedQuestion(const std::string& name) {
    return mt::kMsgRuleChangedLead.str() + name + mt::kMsgRuleChangedEnd.str();
}
std::string DeleteRuleQuestion(const std::string& name) {
    return mt::kMsgDeleteRuleLead.str() + name + "?";
}

bool DeleteRule(RuleBook& book, int id, const std::string& path, int itemLimit) {
    if (id > book.highestId) return false;
    std::size_t pos = 0;
    for (std::size_t i = 1; i < book.rules.size() && pos == 0; ++i)
        if (book.rules[i].loaded && book.rules[i].id == id) pos = i;
    if (pos == 0) return false;
    const int oldLast = book.UserRuleCount();
    book.rules.erase(book.rules.begin() + static_cast<std::ptrdiff_t>(pos));
    basINI_IO::WriteSettingText(std::nullopt, path, RuleSection(oldLast), std::nullopt);
    SaveRules(book, path, nullptr, itemLimit);
    return true;
}

std::vector<RuleListLine> RuleListLines(const RuleBook& book) {
    std::vector<RuleListLine> out;
    for (const RuleRecord& r : book.rules)
        if (!r.name.empty()) out.push_back({r.name, std::to_string(r.id)});
    return out;
}

}  // namespace vellora::core
