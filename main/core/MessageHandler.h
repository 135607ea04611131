// What the mail check calls for each fetched message: rule matching, then the body and
// attachment jobs the matching rule asks for.
#pragma once

#include "main/core/JobCreation.h"
#include "main/core/RuleMatch.h"
#include "main/core/Seams.h"

namespace vellora::core {

class MessageHandler : public MessageHandling {
  public:
    MessageHandler(RuleMatcher& matcher, JobCreator& creator)
        : matcher_(matcher), creator_(creator) {}

    MatchResult MatchRules(const mail::MailMessage& message,
                           const std::string& accountLabel) override {
        return matcher_.MatchRules(message, accountLabel);
    }
    void BodyStep(const mail::MailMessage& message, int accountId, const std::string& messageId,
                  const MatchResult& match) override {
        creator_.BodyStep(message, accountId, messageId, match.printer);
    }
    void AttachmentStep(const mail::MailMessage& message, const MatchResult& match) override {
        creator_.AttachmentStep(message, match.printer);
    }

  private:
    RuleMatcher& matcher_;
    JobCreator& creator_;
};

}  // namespace vellora::core
