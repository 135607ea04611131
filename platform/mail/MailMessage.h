// The mail component's message: one parsed message. Texts are UTF-8; names and subjects are
// decoded. Indexes are 1-based.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vellora::mail {

// An inline part that the HTML body refers to by "cid:" (an embedded picture).
struct InlinePart {
    std::string contentId;  // without the angle brackets
    std::string fileName;   // a safe, plain file name for saving it next to the body page
    std::string contentType;
};

class MailMessage {
  public:
    virtual ~MailMessage() = default;
    virtual void Parse(const std::string& raw) = 0;
    virtual std::string Subject() const = 0;
    virtual std::string FromName() const = 0;
    virtual std::string FromAddress() const = 0;
    virtual std::string Body() const = 0;
    virtual std::string Charset() const = 0;
    virtual std::int32_t HtmlBody() const = 0;  // 0: the body is plain text
    virtual std::int32_t AttachmentCount() const = 0;
    virtual std::string AttachmentName(std::int16_t index) const = 0;
    // Writes the decoded content; 0 on success.
    virtual std::int32_t SaveAttachment(const std::string& path, std::int16_t index) const = 0;
    virtual std::int32_t ToCount() const = 0;
    virtual std::int32_t CcCount() const = 0;
    virtual std::string ToName(std::int16_t index) const = 0;
    virtual std::string ToAddress(std::int16_t index) const = 0;
    virtual std::string CcName(std::int16_t index) const = 0;
    virtual std::string CcAddress(std::int16_t index) const = 0;
    // Inline parts of the HTML body, for embedding them in the body page. They are not counted
    // as attachments. SaveInlinePart takes an index into InlineParts() (0-based, unlike the
    // others) and returns 0 when the decoded content was written to path.
    virtual std::vector<InlinePart> InlineParts() const = 0;
    virtual std::int32_t SaveInlinePart(const std::string& path, std::size_t index) const = 0;
    // The values of every top-level header field of that name (letter case ignored), in the
    // order they stand, unfolded. Empty by default (a message without such fields).
    virtual std::vector<std::string> HeaderValues(const std::string& name) const {
        (void)name;
        return {};
    }
    // The message an attachment holds (message/rfc822, a mail forwarded as attachment), read
    // like any message; null when the attachment is no message.
    virtual std::unique_ptr<MailMessage> AttachedMessage(std::int16_t index) const {
        (void)index;
        return nullptr;
    }
};

}  // namespace vellora::mail
