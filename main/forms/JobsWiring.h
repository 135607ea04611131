// Plugs the rules, the attachment types, the printers, job creation, the dispatcher and the
// failed-jobs window into the main window. It is also the message handling the mail check
// calls for each fetched message (give it to AccountsWiring).
#pragma once

#include <memory>

#include "main/core/AttachmentTypes.h"
#include "main/core/Dispatcher.h"
#include "main/core/JobCreation.h"
#include "main/core/JobQueue.h"
#include "main/core/RuleMatch.h"
#include "main/core/Seams.h"
#include "main/forms/AttTypesEditor.h"
#include "main/forms/PrintersEditor.h"
#include "main/forms/RulesEditor.h"
#include "main/forms/frmJobErrors.h"
#include "platform/print/PrintSystem.h"

namespace vellora::forms {

class frmTavro;

class JobsWiring : public core::MessageHandling {
  public:
    // printers: the print system (CUPS in the program, a fake in tests).
    JobsWiring(frmTavro& window, print::PrintSystem& printers);
    ~JobsWiring() override;

    core::MatchResult MatchRules(const mail::MailMessage& message,
                                 const std::string& accountLabel) override;
    void BodyStep(const mail::MailMessage& message, int accountId, const std::string& messageId,
                  const core::MatchResult& match) override;
    void AttachmentStep(const mail::MailMessage& message, const core::MatchResult& match) override;

    core::JobQueues& Jobs() { return jobs_; }
    core::Dispatcher* Dispatch() { return dispatcher_.get(); }  // null before start-up's end
    RulesEditor& Rules() { return *rules_; }
    AttTypesEditor& AttTypes() { return *attTypes_; }
    PrintersEditor& PrinterTab() { return *printers_; }
    frmJobErrors& JobErrors() { return *jobErrors_; }

  private:
    void CreateJobCollections(frmTavro& w);

    frmTavro& window_;
    print::PrintSystem& printSystem_;
    core::JobQueues jobs_;
    core::AttachmentLists lists_;
    std::unique_ptr<RulesEditor> rules_;
    std::unique_ptr<AttTypesEditor> attTypes_;
    std::unique_ptr<PrintersEditor> printers_;
    std::unique_ptr<frmJobErrors> jobErrors_;
    std::unique_ptr<core::RuleMatcher> matcher_;
    std::unique_ptr<core::JobCreator> creator_;
    std::unique_ptr<core::Dispatcher> dispatcher_;
};

}  // namespace vellora::forms
