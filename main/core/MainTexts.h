// The main program's own texts, kept encoded. One block per area of the program; each area
// adds its texts to its own block.
#pragma once

#include "shared/Literal.h"

namespace vellora::core::texts {
using lit::Encode;

// --- main window, start-up, timer, status logs, notifications ---

// --- accounts, mail check, first-run wizard ---

// --- rules ---
inline constexpr auto kDefaultRuleName = Encode("(Default rule)");
inline constexpr auto kRuleUseDefaultPrinter = Encode("(Use the application printer)");
// The field, condition and join vocabularies: stored in rules, so part of the settings format.
inline constexpr auto kFieldAccount = Encode("Account");
inline constexpr auto kFieldAttachmentName = Encode("AttachmentName");
inline constexpr auto kFieldBody = Encode("Body");
inline constexpr auto kFieldCcAddress = Encode("CcAddress");
inline constexpr auto kFieldCcName = Encode("CcName");
inline constexpr auto kFieldFromAddress = Encode("FromAddress");
inline constexpr auto kFieldFromName = Encode("FromName");
inline constexpr auto kFieldHasAttachment = Encode("HasAttachment");
inline constexpr auto kFieldSubject = Encode("Subject");
inline constexpr auto kFieldToAddress = Encode("ToAddress");
inline constexpr auto kFieldToName = Encode("ToName");
inline constexpr auto kCondContains = Encode("Contains");
inline constexpr auto kCondEndsWith = Encode("EndsWith");
inline constexpr auto kCondEquals = Encode("Equals");
inline constexpr auto kCondRegex = Encode("Regex");
inline constexpr auto kCondStartsWith = Encode("StartsWith");
inline constexpr auto kJoinAnd = Encode("And");
inline constexpr auto kJoinOr = Encode("Or");
inline constexpr auto kTipField = Encode("The part of the message this term looks at");
inline constexpr auto kTipCondition = Encode("How the value is compared with that part");
inline constexpr auto kTipLogic = Encode("How this term combines with the next one");
inline constexpr auto kTitleSaveRule = Encode("Save Rule");
inline constexpr auto kTitleSaveRules = Encode("Save Rules");
inline constexpr auto kTitleNewRule = Encode("New Rule");
inline constexpr auto kTitleDupeRule = Encode("Duplicate Rule");
inline constexpr auto kTitleRenameRule = Encode("Rename Rule");
inline constexpr auto kTitleDeleteRule = Encode("Delete Rule");
inline constexpr auto kMsgFieldMissing = Encode("Please choose a field for every term that has a condition or a value, and for both terms around a join.");
inline constexpr auto kMsgConditionMissing = Encode("Please choose a condition for every term that has a field or a value, and for both terms around a join.");
inline constexpr auto kMsgValueMissing = Encode("Please enter a value for every term that has a field or a condition, and for both terms around a join.");
inline constexpr auto kMsgJoinMissing = Encode("Please choose And or Or to join the terms.");
inline constexpr auto kMsgBadPatternLead = Encode("The regular expression of term ");
inline constexpr auto kMsgBadPatternMid = Encode(" cannot be used: ");
inline constexpr auto kMsgRuleLimitLead = Encode("The maximum number of rules is ");
inline constexpr auto kMsgRuleLimitMid = Encode(". Only the first ");
inline constexpr auto kMsgRuleLimitEnd = Encode(" rules are saved.");
inline constexpr auto kMsgRuleLimitDot = Encode(".");
inline constexpr auto kMsgRuleChangedLead = Encode("The rule ");
inline constexpr auto kMsgRuleChangedEnd = Encode(" has changed. Do you want to save it?");
inline constexpr auto kMsgDeleteRuleLead = Encode("Do you really want to delete the rule ");
inline constexpr auto kPromptRuleName = Encode("Name of the rule:");
inline constexpr auto kErrRegexLead = Encode("Rule condition skipped, its regular expression failed: ");
inline constexpr auto kLogMatchRules = Encode("MatchRules: ");
inline constexpr auto kLogSaveRule = Encode("cmdSaveRule_Click: ");
inline constexpr auto kLogRefreshRules = Encode("RefreshRuleList: ");

// --- attachment types, body pages, job creation ---

// --- printers, dispatcher, failed jobs ---
inline constexpr auto kSystemDefaultEntry = Encode("(Use the system default printer)");
inline constexpr auto kNoPrinterSelected = Encode("(No printer selected)");
inline constexpr auto kDefaultPrinterMarker = Encode("(default)");

// --- options ---

}  // namespace vellora::core::texts
