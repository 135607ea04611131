#include "main/core/AccountMailCheck.h"

#include <charconv>
#include <exception>
#include <limits>
#include <stdexcept>

#include "main/core/Accounts.h"
#include "main/core/MainTexts.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modWriteLog.h"

namespace vellora::core {
namespace {
namespace tx = vellora::core::texts;

// Clears the running mark however the check ends.
struct RunningMark {
    bool& flag;
    int& current;
    explicit RunningMark(bool& f, int& c) : flag(f), current(c) { flag = true; }
    ~RunningMark() {
        flag = false;
        current = 0;
    }
};

}  // namespace

std::int32_t MessageIdNumber(const std::string& id) {
    std::int64_t value = 0;
    const char* end = id.data() + id.size();
    const auto [ptr, ec] = std::from_chars(id.data(), end, value);
    if (id.empty() || ec != std::errc() || ptr != end || value < 0 ||
        value > std::numeric_limits<std::int32_t>::max()) {
        throw std::runtime_error(tx::kCheckBadId.str() + "'" + id + "'");
    }
    return static_cast<std::int32_t>(value);
}

void AccountMailCheck::RunMailCheck() {
    if (running_) return;
    RunningMark mark(running_, current_);
    step_ = 100;
    try {
        // The array can change while the check yields (an account saved or deleted), so the
        // count is read again for every account.
        for (std::size_t i = 1; i <= p_.accounts.size(); ++i) CheckAccount(i);
    } catch (const std::exception& e) {
        ReportError(e.what());
    }
}

void AccountMailCheck::CheckAccount(std::size_t position) {
    step_ = 110;
    current_ = static_cast<int>(position);
    const AccountRecord account = p_.accounts[position - 1];
    accountId_ = account.id;
    const std::string label = AccountLabel(account);
    p_.session.Reset();
    if (SetUp(account, label) == Next::Continue) CheckMailbox(position, account, label);
    p_.session.Close();
}

void AccountMailCheck::CheckMailbox(std::size_t position, const AccountRecord& account,
                                    const std::string& label) {
    step_ = 140;
    const std::int32_t count = p_.session.MessageCount();
    if (count < 0) {
        // The login went through but the mailbox could not be read (the server hung up):
        // this account alone waits for the next check, and nothing is stored, so a
        // first contact is still a first contact then.
        p_.status.LogErrorStatus(label + tx::kCheckCountFailed.str());
        return;
    }
    std::int32_t lastId = basINI_IO::ReadSettingNumber(p_.settingsPath, AccountSection(position),
                                                       vellora::texts::kKeyAcctLastMsg);
    if (lastId < 0) lastId = FirstContactLastId(position, account, count);
    step_ = 150;
    const std::int32_t boundary = FindBoundary(count, lastId);
    step_ = 160;
    p_.status.LogMailStatus(label + tx::kCheckColon.str() + std::to_string(count - boundary) +
                            tx::kCheckNewMessages.str());
    for (std::int32_t k = boundary + 1; k <= count; ++k) HandleMessage(position, k, label);
}

AccountMailCheck::Next AccountMailCheck::SetUp(const AccountRecord& a, const std::string& label) {
    if (a.pop) {
        p_.session.SetImap(false);
    } else if (a.imap) {
        p_.session.SetImap(true);
    } else {
        p_.status.LogErrorStatus(label + tx::kCheckNoProtocol.str());
        return Next::Skip;
    }
    step_ = 120;
    p_.session.SetPort(a.port);
    if (a.ssl) {
        const std::int32_t code = p_.session.InitSsl();
        if (code != 0) {
            p_.status.LogErrorStatus(label + tx::kCheckTlsFailed.str() + std::to_string(code));
            return Next::Skip;
        }
    }
    step_ = 130;
    p_.session.SetNtlm(a.ntlm);
    const std::int32_t code = a.auth == AuthMethod::kOAuth2 ? Tokens().Login(p_.session, a, label)
                              : a.encryptedLogin
                                  ? p_.session.LoginEncrypted(a.server, a.user, a.password)
                                  : p_.session.Login(a.server, a.user, a.password);
    if (code == AccountTokens::kSkipped) return Next::Skip;
    if (code != 0) {
        p_.status.LogErrorStatus(label + tx::kCheckConnectFailed.str() + std::to_string(code));
        return Next::Skip;
    }
    return Next::Continue;
}

AccountTokens& AccountMailCheck::Tokens() {
    if (!tokens_) {
        tokens_ =
            std::make_shared<AccountTokens>(p_.settingsPath, p_.accounts, p_.status, p_.options);
    }
    return *tokens_;
}

std::int32_t AccountMailCheck::FirstContactLastId(std::size_t position, const AccountRecord& a,
                                                  std::int32_t count) {
    // Print all: below every id, so the first message is printed too; not stored, so an
    // interrupted first check starts over.
    if (a.printAll) return 0;
    // An empty mailbox has no newest id; 0 lets its first message count as new later.
    const std::int32_t newest = count > 0 ? MessageIdNumber(p_.session.MessageId(count)) : 0;
    StoreLastId(position, newest);
    return newest;
}

std::int32_t AccountMailCheck::FindBoundary(std::int32_t count, std::int32_t lastId) {
    for (std::int32_t k = count; k >= 1; --k) {
        if (MessageIdNumber(p_.session.MessageId(k)) <= lastId) return k;
    }
    return 0;
}

void AccountMailCheck::HandleMessage(std::size_t position, std::int32_t k,
                                     const std::string& label) {
    const std::string id = p_.session.MessageId(k);
    const std::int32_t idNumber = MessageIdNumber(id);
    p_.status.LogMailStatus(label + tx::kCheckColon.str() + tx::kCheckFetching.str() + id);
    p_.pump.DoEvents();
    const std::string raw = p_.session.Retrieve(k);
    p_.status.LogMailStatus(label + tx::kCheckColon.str() + tx::kCheckFetched.str() + id);
    p_.pump.DoEvents();
    step_ = 170;
    if (raw.empty()) {
        p_.status.LogErrorStatus(label + tx::kCheckRetrieveFailed.str() + id);
        return;
    }
    p_.message.Parse(raw);
    // Stored before anything is done with it, so no message is ever handled twice.
    StoreLastId(position, idNumber);
    const MatchResult match = p_.handling.MatchRules(p_.message, label);
    if (match.matched) {
        const std::string subject = p_.message.Subject();
        p_.status.LogMailStatus(label + tx::kCheckProcessing.str() + subject);
        if (match.printBody) p_.handling.BodyStep(p_.message, accountId_, id, match);
        if (match.printAttachments) p_.handling.AttachmentStep(p_.message, match);
        p_.status.LogMailStatus(label + tx::kCheckProcessed.str() + subject);
    }
    p_.pump.DoEvents();
}

void AccountMailCheck::StoreLastId(std::size_t position, std::int32_t id) {
    // The user may have deleted or moved accounts during a yield; never write over another
    // account's section.
    if (position > p_.accounts.size() || p_.accounts[position - 1].id != accountId_) return;
    basINI_IO::WriteSettingNumber(id, p_.settingsPath, AccountSection(position),
                                  vellora::texts::kKeyAcctLastMsg);
    // The in-memory record follows the stored value, so a later save of the array keeps it.
    p_.accounts[position - 1].lastId = id;
}

void AccountMailCheck::ReportError(const std::string& description) {
    const std::string step = std::to_string(step_);
    try {
        modWriteLog::WriteLog(tx::kLogMailCheck.str() + " - " + step + " - " + description);
    } catch (...) {
        // The log itself failed; the status log and the notification still tell the user.
    }
    try {
        p_.session.Close();
    } catch (...) {
    }
    if (!p_.options.notifyOnError) return;
    try {
        std::string subject;
        try {
            subject = p_.message.Subject();
        } catch (...) {
        }
        p_.status.SendNotification(tx::kNotifyKindError.str(), tx::kCheckNotifySubject.str(),
                                   tx::kCheckNotifyStep.str() + step +
                                       tx::kCheckNotifyMessage.str() + subject +
                                       tx::kCheckNotifyError.str() + description);
    } catch (...) {
    }
}

}  // namespace vellora::core
