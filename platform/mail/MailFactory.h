// Creates the real mail session and message objects of the mail component.
#pragma once

#include <memory>

#include "platform/mail/MailMessage.h"
#include "platform/mail/MailSession.h"

namespace vellora::mail {

// A POP3/IMAP session over libcurl with the default time-outs (see CurlMailSession.h).
std::unique_ptr<MailSession> CreateMailSession();

// A message parsed with GMime (see GMimeMailMessage.h).
std::unique_ptr<MailMessage> CreateMailMessage();

}  // namespace vellora::mail
