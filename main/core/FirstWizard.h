// The first-run wizard's pages and what they do, without the window: six pages of up to two
// fields each, the provider presets, the account test and the settings written by Finish.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "main/core/Seams.h"
#include "platform/mail/MailSession.h"

namespace vellora::core {

enum FieldKind : std::int32_t {
    kFieldNone = 0,
    kFieldText = 1,
    kFieldList = 2,
    kFieldButton = 3,
    kFieldPassword = 4
};

struct WizardStep {
    std::string info;
    std::array<std::string, 2> label;
    std::array<std::int32_t, 2> kind{kFieldNone, kFieldNone};
    std::array<std::string, 2> value;
    std::array<std::string, 2> choices;  // entries separated by CR LF
};

class FirstWizardModel {
  public:
    static constexpr int kPages = 6;
    FirstWizardModel();

    int Current() const { return current_; }
    const WizardStep& Step(int page) const { return steps_[static_cast<std::size_t>(page - 1)]; }
    WizardStep& Step(int page) { return steps_[static_cast<std::size_t>(page - 1)]; }

    // A non-empty read replaces the stored value of the current page's field; an empty read
    // keeps the value stored before.
    void Read(int field, const std::string& text);
    // Move after the fields were read; leaving page 1 applies the presets.
    void Next();
    void Back();
    void ApplyPresets();

    // The page-5 test on the given session; the outcome is shown through dialogs.
    void TestAccount(mail::MailSession& session, Dialogs& dialogs) const;
    // Writes the general values and account 1 to the settings file.
    void Finish(const std::string& settingsPath, std::int16_t maxAcctID) const;

  private:
    std::array<WizardStep, kPages> steps_;
    int current_ = 1;
};

// The choice entries split at CR LF.
std::vector<std::string> ListChoices(const std::string& choices);

}  // namespace vellora::core
