// The account test of the accounts tab: the values as typed, not the stored ones.
#pragma once

#include <string>

#include "main/core/Seams.h"
#include "platform/mail/MailSession.h"

namespace vellora::core {

struct TypedAccount {
    bool imap = false;
    bool pop = false;
    std::string server;
    // As typed; empty gives the protocol's default port, anything but a port number is
    // refused with a message.
    std::string port;
    std::string user;
    std::string password;
    bool ssl = false;
    bool encryptedLogin = false;
    bool ntlm = false;
};

// Shows the outcome in OK boxes under the account-test title. The session stays open; the
// next Reset clears it.
void TestAccount(mail::MailSession& session, Dialogs& dialogs, const TypedAccount& typed);

// A port number from typed text: digits only, 1 to 65535; 0 when it is none.
std::int32_t ParsePort(const std::string& text);

}  // namespace vellora::core
