// One mail check over every configured account: log in, find what is new since the stored
// last id, fetch it message by message and hand each one to the rules and the job steps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "main/core/AccountRecord.h"
#include "main/core/AccountTokens.h"
#include "main/core/Options.h"
#include "main/core/Seams.h"
#include "platform/mail/MailMessage.h"
#include "platform/mail/MailSession.h"

namespace vellora::core {

struct MailCheckParts {
    mail::MailSession& session;  // MailHost
    mail::MailMessage& message;  // CurrentMessage
    MessageHandling& handling;
    StatusSink& status;
    EventPump& pump;
    const Options& options;
    AccountArray& accounts;  // the main window's array; its last ids follow the stored ones
    std::string settingsPath;
};

class AccountMailCheck : public MailCheck {
  public:
    explicit AccountMailCheck(MailCheckParts parts) : p_(parts) {}

    // A call while a check runs (from a yield) returns at once.
    void RunMailCheck() override;
    bool Running() const override { return running_; }
    // The position (1-based) of the account being checked; 0 outside a check.
    int CurrentAccount() const { return current_; }
    // The access tokens of the OAuth2 accounts, which the account editor's sign-in shares;
    // made on first use with the system clock and the real token endpoint unless given.
    AccountTokens& Tokens();
    void UseTokens(std::shared_ptr<AccountTokens> tokens) { tokens_ = std::move(tokens); }

  private:
    enum class Next { Continue, Skip };
    void CheckAccount(std::size_t position);
    Next SetUp(const AccountRecord& a, const std::string& label);
    void CheckMailbox(std::size_t position, const AccountRecord& a, const std::string& label);
    std::int32_t FirstContactLastId(std::size_t position, const AccountRecord& a,
                                    std::int32_t count);
    std::int32_t FindBoundary(std::int32_t count, std::int32_t lastId);
    void HandleMessage(std::size_t position, std::int32_t k, const std::string& label);
    void StoreLastId(std::size_t position, std::int32_t id);
    void ReportError(const std::string& description);

    MailCheckParts p_;
    bool running_ = false;
    int current_ = 0;
    int step_ = 0;
    std::int16_t accountId_ = 0;
    std::shared_ptr<AccountTokens> tokens_;
};

// A message id as a number; anything but decimal digits (or a value past 32 bits) is a
// run-time error that ends the check.
std::int32_t MessageIdNumber(const std::string& id);

}  // namespace vellora::core
