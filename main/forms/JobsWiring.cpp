#include "main/forms/JobsWiring.h"

#include "main/forms/frmTavro.h"

namespace vellora::forms {
namespace {
constexpr int kRulesTab = 2;
}

JobsWiring::JobsWiring(frmTavro& w, print::PrintSystem& printers)
    : window_(w), printSystem_(printers) {
    rules_ = std::make_unique<RulesEditor>(*w.rulesTab, w.GetDialogs(), w.SettingsPath());
    attTypes_ = std::make_unique<AttTypesEditor>(*w.optionsTab->attTypes, lists_, w.GetDialogs(),
                                                 w.SettingsPath());
    printers_ = std::make_unique<PrintersEditor>(*w.printersTab, *w.rulesTab->cboRulePrinter,
                                                 printers, w.SettingsPath());
    jobErrors_ = std::make_unique<frmJobErrors>(jobs_, w.GetDialogs());
    // Lives as long as this wiring, not the window: both are torn down together.
    rules_->setParent(nullptr);
    attTypes_->setParent(nullptr);
    printers_->setParent(nullptr);

    frmTavro::Hooks& hooks = w.hooks();
    hooks.fillRuleLists = [this](frmTavro&) { rules_->FillRuleLists(); };
    hooks.loadAttachmentLists = [this](frmTavro&) { attTypes_->LoadAttachmentLists(); };
    hooks.loadRules = [this](frmTavro&) { rules_->LoadRules(); };
    hooks.fillPrinterLists = [this](frmTavro&) { printers_->FillPrinterLists(); };
    hooks.createJobCollections = [this](frmTavro& win) { CreateJobCollections(win); };
    hooks.failedJobCount = [this] { return static_cast<int>(jobs_.errJobs.size()); };
    hooks.showFailedJobs = [this] {
        jobErrors_->show();
        jobErrors_->raise();
    };
    QObject::connect(w.SSTab1, &QTabWidget::currentChanged, rules_.get(), [this](int index) {
        rules_->AskAboutUnsavedChange();
        printers_->FillPrinterLists();
        if (index == kRulesTab) rules_->EnterTab();
    });
    QObject::connect(w.optionsTab, &OptionsTab::office2007Switched, attTypes_.get(),
                     [this](bool on) { attTypes_->Office2007Changed(on); });
}

JobsWiring::~JobsWiring() {
    window_.SetJobDispatch(nullptr);
}

void JobsWiring::CreateJobCollections(frmTavro& w) {
    jobs_ = core::JobQueues{};
    matcher_ = std::make_unique<core::RuleMatcher>(
        rules_->Book(), [this] { return printers_->Captions(); }, &w.Status(),
        [&w] { return w.Options().trustedAuthServId; });
    creator_ = std::make_unique<core::JobCreator>(jobs_, lists_, w.Options(), w.Status(),
                                                  w.AppFolderPath(), w.TempFolder());
    dispatcher_ = std::make_unique<core::Dispatcher>(
        jobs_, w.GetClock(), w.GetLauncher(), printSystem_, w.Status(), w.Options(),
        [this] { return printers_->SystemPrinterCaption(); });
    w.SetJobDispatch(dispatcher_.get());
}

core::MatchResult JobsWiring::MatchRules(const mail::MailMessage& message,
                                         const std::string& accountLabel) {
    if (!matcher_) return {};
    return matcher_->MatchRules(message, accountLabel);
}

void JobsWiring::BodyStep(const mail::MailMessage& message, int accountId,
                          const std::string& messageId, const core::MatchResult& match) {
    if (creator_) creator_->BodyStep(message, accountId, messageId, match.printer);
}

void JobsWiring::AttachmentStep(const mail::MailMessage& message, const core::MatchResult& match) {
    if (creator_) creator_->AttachmentStep(message, match.printer);
}

}  // namespace vellora::forms
