// Feeds arbitrary bytes to the message parser and touches every result, so that the sanitizers
// see each code path a hostile message can reach.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/mail/GMimeMailMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vellora::mail::GMimeMailMessage message;
    message.Parse(std::string(reinterpret_cast<const char*>(data), size));
    std::size_t total = message.Subject().size() + message.FromName().size() +
                        message.FromAddress().size() + message.Body().size() +
                        message.Charset().size();
    for (std::int16_t i = 1; i <= message.AttachmentCount() && i < 64; ++i) {
        total += message.AttachmentName(i).size() + message.AttachmentType(i).size();
    }
    for (std::int16_t i = 1; i <= message.ToCount() && i < 64; ++i) {
        total += message.ToName(i).size() + message.ToAddress(i).size();
    }
    for (std::int16_t i = 1; i <= message.CcCount() && i < 64; ++i) {
        total += message.CcName(i).size() + message.CcAddress(i).size();
    }
    for (const auto& part : message.InlineParts()) total += part.fileName.size();
    return total == static_cast<std::size_t>(-1) ? 1 : 0;
}
