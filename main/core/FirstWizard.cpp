#include "main/core/FirstWizard.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "main/core/MainTexts.h"
#include "shared/StoredPassword.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"

namespace vellora::core {
namespace {
namespace tx = vellora::core::texts;
namespace st = vellora::texts;

enum class UserForm { WholeAddress, LocalPart };

struct Preset {
    std::string domain;
    std::string host;
    bool imap;
    UserForm user;
    bool ssl;
};

// Every one of these providers takes logins only over TLS: with the secure connection on, the
// account gets the protocol's TLS port, and the password never travels in clear.
std::array<Preset, 4> Presets() {
    return {{{tx::kPreset1Domain, tx::kPreset1Host, true, UserForm::WholeAddress, true},
             {tx::kPreset2Domain, tx::kPreset2Host, false, UserForm::LocalPart, true},
             {tx::kPreset3Domain, tx::kPreset3Host, true, UserForm::LocalPart, true},
             {tx::kPreset4Domain, tx::kPreset4Host, false, UserForm::WholeAddress, true}}};
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string Pair(const std::string& a, const std::string& b) {
    return a + "\r\n" + b;
}

// The port of a protocol: the well-known ones, secure or not; 0 when no protocol is known.
std::int32_t PortFor(const std::string& protocol, bool ssl) {
    if (protocol == tx::kWizChoiceImap.str()) return ssl ? 993 : 143;
    if (protocol == tx::kWizChoicePop3.str()) return ssl ? 995 : 110;
    return 0;
}

}  // namespace

std::vector<std::string> ListChoices(const std::string& choices) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= choices.size()) {
        const std::size_t end = choices.find("\r\n", start);
        out.push_back(choices.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return out;
}

FirstWizardModel::FirstWizardModel() {
    const std::string yesNo = Pair(tx::kWizChoiceYes, tx::kWizChoiceNo);
    steps_[0] = {
        tx::kWizInfo1, {tx::kWizLabel1a, tx::kWizLabel1b}, {kFieldText, kFieldText}, {}, {}};
    steps_[1] = {tx::kWizInfo2,
                 {tx::kWizLabel2a, tx::kWizLabel2b},
                 {kFieldText, kFieldList},
                 {},
                 {"", Pair(tx::kWizChoicePop3, tx::kWizChoiceImap)}};
    steps_[2] = {
        tx::kWizInfo3, {tx::kWizLabel3a, tx::kWizLabel3b}, {kFieldText, kFieldPassword}, {}, {}};
    steps_[3] = {tx::kWizInfo4,
                 {tx::kWizLabel4a, tx::kWizLabel4b},
                 {kFieldList, kFieldList},
                 {},
                 {yesNo, yesNo}};
    steps_[4] = {tx::kWizInfo5, {"", tx::kWizLabel5b}, {kFieldNone, kFieldButton}, {}, {}};
    steps_[5] = {tx::kWizInfo6,
                 {tx::kWizLabel6a, tx::kWizLabel6b},
                 {kFieldList, kFieldList},
                 {tx::kWizChoiceNo, tx::kWizChoiceNo},
                 {yesNo, yesNo}};
}

void FirstWizardModel::Read(int field, const std::string& text) {
    if (!text.empty()) Step(current_).value[static_cast<std::size_t>(field - 1)] = text;
}

void FirstWizardModel::Next() {
    if (current_ == 1) ApplyPresets();
    current_ = std::min(current_ + 1, kPages);
}

void FirstWizardModel::Back() {
    current_ = std::max(current_ - 1, 1);
}

void FirstWizardModel::ApplyPresets() {
    const std::string& typed = Step(1).value[1];
    if (typed.empty() || !Step(2).value[0].empty()) return;
    const std::string address = Lower(typed);
    const std::size_t at = address.find('@');
    if (at == std::string::npos || at + 1 >= address.size()) return;
    const std::string domain = address.substr(at + 1);
    for (const Preset& p : Presets()) {
        if (p.domain != domain) continue;
        Step(2).value = {p.host, p.imap ? tx::kWizChoiceImap.str() : tx::kWizChoicePop3.str()};
        Step(3).value[0] = p.user == UserForm::WholeAddress ? typed : address.substr(0, at);
        Step(4).value = {p.ssl ? tx::kWizChoiceYes.str() : tx::kWizChoiceNo.str(),
                         tx::kWizChoiceNo.str()};
        return;
    }
}

void FirstWizardModel::TestAccount(mail::MailSession& session, Dialogs& dialogs) const {
    const auto show = [&](const std::string& text) {
        dialogs.MessageBox(text, MsgButtons::Ok, tx::kWizTitle.str());
    };
    const auto fail = [&](const std::string& text) {
        show(text);
        show(tx::kWizTestFailed.str());
    };
    try {
        session.Reset();
        const std::string& protocol = Step(2).value[1];
        const bool ssl = Step(4).value[0] == tx::kWizChoiceYes.str();
        const std::int32_t port = PortFor(protocol, ssl);
        if (port == 0) return fail(tx::kWizNoProtocol.str());
        session.SetImap(protocol == tx::kWizChoiceImap.str());
        session.SetPort(port);
        if (ssl && session.InitSsl() != 0) return fail(tx::kWizSslFailed.str());
        session.SetNtlm(Step(4).value[1] == tx::kWizChoiceYes.str());
        const std::int32_t code =
            session.Login(Step(2).value[0], Step(3).value[0], Step(3).value[1]);
        if (code != 0) return fail(tx::kWizCannotConnect.str());
        show(tx::kWizAccountOk.str());
    } catch (const std::exception& e) {
        fail(tx::kWizCannotConnect.str() + "\n" + e.what());
    }
}

void FirstWizardModel::Finish(const std::string& path, std::int16_t maxAcctID) const {
    using namespace basINI_IO;
    const std::string general = st::kGeneralSection;
    WriteSettingText(Step(1).value[0], path, general, st::kKeyUserName.str());
    WriteSettingText(Step(1).value[1], path, general, st::kKeyUserEmail.str());
    WriteSettingNumber(1, path, st::kAccountsSection, st::kKeyAccountCount);

    const std::string s = st::kAccountPrefix.str() + "1";
    // A left-over section would lend the new account an old last id and login flags.
    WriteSettingText(std::nullopt, path, s, std::nullopt);
    const std::string& protocol = Step(2).value[1];
    const bool ssl = Step(4).value[0] == tx::kWizChoiceYes.str();
    const bool imap = protocol == tx::kWizChoiceImap.str();
    const bool pop = protocol == tx::kWizChoicePop3.str();
    WriteSettingNumber(maxAcctID + 1, path, s, st::kKeyAcctId);
    WriteSettingText(Step(2).value[0], path, s, st::kKeyAcctServer.str());
    WriteSettingNumber(PortFor(protocol, ssl), path, s, st::kKeyAcctPort);
    WriteSettingNumber(imap ? 1 : 0, path, s, st::kKeyAcctImap);
    WriteSettingNumber(pop ? 1 : 0, path, s, st::kKeyAcctPop);
    WriteSettingText(Step(3).value[0], path, s, st::kKeyAcctUser.str());
    WriteSettingText(password::Store(Step(3).value[1]), path, s, st::kKeyAcctPassword.str());
    WriteSettingNumber(ssl ? 1 : 0, path, s, st::kKeyAcctSsl);
    WriteSettingNumber(Step(4).value[1] == tx::kWizChoiceYes.str() ? 1 : 0, path, s,
                       st::kKeyAcctNtlm);
    WriteSettingNumber(0, path, s, st::kKeyAcctPrintAll);
    WriteSettingNumber(1, path, s, st::kKeyAcctPrintNew);

    const auto yes = [](const std::string& v) { return v == tx::kWizChoiceYes.str() ? 1 : 0; };
    WriteSettingNumber(yes(Step(6).value[0]), path, general, st::kKeyOffice2007);
    WriteSettingNumber(yes(Step(6).value[1]), path, general, st::kKeyUseViewer);
}

}  // namespace vellora::core
