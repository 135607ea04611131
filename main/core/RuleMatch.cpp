#include "main/core/RuleMatch.h"

#include <array>
#include <optional>

#include "main/core/AuthResults.h"
#include "main/core/MainTexts.h"
#include "main/core/TextFold.h"
#include "platform/mail/MailMessage.h"
#include "platform/regex/Regex.h"
#include "shared/modWriteLog.h"

namespace vellora::core {
namespace mt = vellora::core::texts;

namespace {

enum Field {
    kAccount,
    kAttName,
    kBody,
    kCcAddr,
    kCcName,
    kFromAddr,
    kFromName,
    kHasAtt,
    kSenderAuth,
    kSubject,
    kToAddr,
    kToName,
    kFieldCount
};
enum Condition { kContains, kEndsWith, kEquals, kRegex, kStartsWith };

int IndexOf(const std::vector<std::string>& list, const std::string& text) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == text) return static_cast<int>(i);
    return -1;
}

std::vector<std::string> ListOf(std::int32_t count,
                                const std::function<std::string(std::int16_t)>& item) {
    std::vector<std::string> out;
    for (std::int32_t i = 1; i <= count && i <= INT16_MAX; ++i)
        out.push_back(item(static_cast<std::int16_t>(i)));
    return out;
}

}  // namespace

// The message's texts, read and folded once per match however many rules look at them.
struct RuleMatcher::Context {
    const mail::MailMessage& msg;
    const std::string& account;
    std::array<std::optional<std::vector<std::string>>, kFieldCount> raw, folded;
    std::optional<bool> authenticated;

    const std::vector<std::string>& Raw(int f) {
        auto& slot = raw[static_cast<std::size_t>(f)];
        if (!slot) slot = Read(f);
        return *slot;
    }
    const std::vector<std::string>& Folded(int f) {
        auto& slot = folded[static_cast<std::size_t>(f)];
        if (!slot) {
            slot.emplace();
            for (const std::string& s : Raw(f)) slot->push_back(FoldCase(s));
        }
        return *slot;
    }
    std::vector<std::string> Read(int f) const {
        switch (f) {
            case kAccount:
                return {account};
            case kBody:
                return {msg.Body()};
            case kFromAddr:
                return {msg.FromAddress()};
            case kFromName:
                return {msg.FromName()};
            case kSubject:
                return {msg.Subject()};
            case kAttName:
                return ListOf(msg.AttachmentCount(), [&](auto i) { return msg.AttachmentName(i); });
            case kCcAddr:
                return ListOf(msg.CcCount(), [&](auto i) { return msg.CcAddress(i); });
            case kCcName:
                return ListOf(msg.CcCount(), [&](auto i) { return msg.CcName(i); });
            case kToAddr:
                return ListOf(msg.ToCount(), [&](auto i) { return msg.ToAddress(i); });
            case kToName:
                return ListOf(msg.ToCount(), [&](auto i) { return msg.ToName(i); });
            default:
                return {};
        }
    }
};

std::string ResolvePrinter(const std::string& rulePrinter, const PrinterCaptions& captions) {
    if (rulePrinter != mt::kRuleUseDefaultPrinter.str()) return rulePrinter;
    if (captions.applicationPrinter == mt::kSystemDefaultEntry.str()) return captions.systemPrinter;
    return captions.applicationPrinter;
}

RuleMatcher::RuleMatcher(const RuleBook& book, std::function<PrinterCaptions()> captions,
                         StatusSink* sink, std::function<std::string()> trustedServer)
    : book_(book),
      captions_(std::move(captions)),
      trustedServer_(std::move(trustedServer)),
      sink_(sink),
      fields_(RuleFields()),
      conditions_(RuleConditions()),
      and_(mt::kJoinAnd),
      or_(mt::kJoinOr) {}

RuleMatcher::~RuleMatcher() = default;

MatchResult RuleMatcher::MatchRules(const mail::MailMessage& message,
                                    const std::string& accountLabel) {
    Context ctx{message, accountLabel, {}, {}, {}};
    MatchResult result;
    for (std::size_t r = book_.rules.size(); r-- > 0;) {
        const RuleRecord& rule = book_.rules[r];
        if (!rule.loaded || !Matches(rule, ctx)) continue;
        result.matched = true;
        result.printBody = rule.printBody;
        result.printAttachments = rule.printAtt;
        result.printer = ResolvePrinter(rule.printer, captions_ ? captions_() : PrinterCaptions{});
        break;
    }
    return result;
}

bool RuleMatcher::Matches(const RuleRecord& rule, Context& ctx) {
    std::array<bool, 3> used{}, value{};
    for (std::size_t k = 0; k < 3; ++k) {
        used[k] =
            rule.condition[k].size() >= 4 && rule.field[k].size() >= 4 && !rule.value[k].empty();
        if (used[k]) value[k] = EvaluateTerm(rule.field[k], rule.condition[k], rule.value[k], ctx);
    }
    const auto join = [&](bool a, const std::string& j, bool b) -> std::optional<bool> {
        if (j == and_) return a && b;
        if (j == or_) return a || b;
        return std::nullopt;
    };
    if (!used[0] && !used[1] && !used[2]) return true;
    if (used[0] && !used[1] && !used[2]) return value[0];
    if (used[0] && used[1] && !used[2])
        return join(value[0], rule.join[0], value[1]).value_or(false);
    if (used[0] && used[1] && used[2]) {
        const std::optional<bool> first = join(value[0], rule.join[0], value[1]);
        if (!first) return false;
        return join(*first, rule.join[1], value[2]).value_or(false);
    }
    return false;
}

bool RuleMatcher::EvaluateTerm(const std::string& field, const std::string& condition,
                               const std::string& value, Context& ctx) {
    const int f = IndexOf(fields_, field);
    if (f < 0) return false;
    if (f == kHasAtt) return ctx.msg.AttachmentCount() >= 1;
    if (f == kSenderAuth) return SenderAuthenticatedOnce(ctx);
    const int c = IndexOf(conditions_, condition);
    if (c < 0) return false;
    const std::vector<std::string>& raw = ctx.Raw(f);
    const std::vector<std::string>* folded = c == kRegex ? nullptr : &ctx.Folded(f);
    const std::string foldedValue = c == kRegex ? std::string() : FoldCase(value);
    for (std::size_t i = 0; i < raw.size(); ++i)
        if (Test(raw[i], folded ? &(*folded)[i] : nullptr, c, value, foldedValue)) return true;
    return false;
}

bool RuleMatcher::SenderAuthenticatedOnce(Context& ctx) {
    if (!ctx.authenticated) {
        ctx.authenticated = SenderAuthenticated(ctx.msg.HeaderValues(mt::kAuthResultsHeader),
                                                trustedServer_ ? trustedServer_() : std::string(),
                                                ctx.msg.FromAddress());
    }
    return *ctx.authenticated;
}

bool RuleMatcher::TestCondition(std::string_view text, const std::string& condition,
                                const std::string& value) {
    const int c = IndexOf(conditions_, condition);
    if (c < 0) return false;
    if (c == kRegex) return TestRegex(text, value);
    const std::string folded = FoldCase(text);
    return Test(text, &folded, c, value, FoldCase(value));
}

bool RuleMatcher::Test(std::string_view text, const std::string* folded, int condition,
                       const std::string& value, const std::string& foldedValue) {
    switch (condition) {
        case kContains:
            return FoldedContains(*folded, foldedValue);
        case kEndsWith:
            return FoldedEndsWith(*folded, foldedValue);
        case kEquals:
            return *folded == foldedValue;
        case kRegex:
            return TestRegex(text, value);
        case kStartsWith:
            return FoldedStartsWith(*folded, foldedValue);
        default:
            return false;
    }
}

bool RuleMatcher::TestRegex(std::string_view text, const std::string& pattern) {
    auto it = patterns_.find(pattern);
    if (it == patterns_.end())
        it = patterns_.emplace(pattern, std::make_unique<regex::Regex>(pattern)).first;
    regex::Regex& re = *it->second;
    const regex::MatchOutcome outcome = re.Search(text);
    if (outcome != regex::MatchOutcome::Error) return outcome == regex::MatchOutcome::Match;
    // A pattern edited by hand into the settings, or one that runs out of its work limits:
    // this term is false and the mail check goes on with the next term and message.
    const std::string line = mt::kErrRegexLead.str() + pattern + " - " + re.error();
    if (sink_) sink_->LogErrorStatus(line);
    try {
        modWriteLog::WriteLog(mt::kLogMatchRules.str() + line);
    } catch (const modWriteLog::LogError&) {
    }
    return false;
}

}  // namespace vellora::core
