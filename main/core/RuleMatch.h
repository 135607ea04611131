// Deciding what a message prints: the rules are tried from the last to the first, the
// default rule last, and the first rule that matches decides.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "main/core/Rules.h"
#include "main/core/Seams.h"

namespace vellora::regex {
class Regex;
}
namespace vellora::mail {
class MailMessage;
}

namespace vellora::core {

// What the printer labels show when a rule is matched.
struct PrinterCaptions {
    std::string applicationPrinter;  // lblCurApplicationPrinter
    std::string systemPrinter;       // lblCurSysPrinter
};

// From a rule's printer choice to the job's printer: the rule's own printer, else the
// application printer, else (when that defers to the system) the system default printer.
std::string ResolvePrinter(const std::string& rulePrinter, const PrinterCaptions& captions);

class RuleMatcher {
  public:
    // The book and the captions are read at every match, so edits and printer changes count
    // at once. sink receives an error line when a pattern fails at match time (may be null).
    // trustedServer gives the authserv-id whose Authentication-Results the field
    // SenderAuthenticated believes (AuthResults.h); without it that field is never true.
    RuleMatcher(const RuleBook& book, std::function<PrinterCaptions()> captions, StatusSink* sink,
                std::function<std::string()> trustedServer = {});
    ~RuleMatcher();

    MatchResult MatchRules(const mail::MailMessage& message, const std::string& accountLabel);

    // One comparison. A Regex whose pattern is invalid, or whose search exceeds the engine's
    // limits, counts as false and writes one error line.
    bool TestCondition(std::string_view text, const std::string& condition,
                       const std::string& value);

  private:
    struct Context;
    bool Matches(const RuleRecord& rule, Context& ctx);
    bool EvaluateTerm(const std::string& field, const std::string& condition,
                      const std::string& value, Context& ctx);
    bool Test(std::string_view text, const std::string* folded, int condition,
              const std::string& value, const std::string& foldedValue);
    bool TestRegex(std::string_view text, const std::string& pattern);
    bool SenderAuthenticatedOnce(Context& ctx);

    const RuleBook& book_;
    std::function<PrinterCaptions()> captions_;
    std::function<std::string()> trustedServer_;
    StatusSink* sink_;
    std::map<std::string, std::unique_ptr<regex::Regex>, std::less<>> patterns_;
    std::vector<std::string> fields_, conditions_;
    std::string and_, or_;
};

}  // namespace vellora::core
