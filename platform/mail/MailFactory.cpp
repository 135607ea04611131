#include "platform/mail/MailFactory.h"

#include "platform/mail/CurlMailSession.h"
#include "platform/mail/GMimeMailMessage.h"

namespace vellora::mail {

std::unique_ptr<MailSession> CreateMailSession() {
    return std::make_unique<CurlMailSession>();
}

std::unique_ptr<MailMessage> CreateMailMessage() {
    return std::make_unique<GMimeMailMessage>();
}

}  // namespace vellora::mail
