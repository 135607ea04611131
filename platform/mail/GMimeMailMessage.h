// The real message object: a raw message parsed with GMime 3.
//
// The body is the first text part (plain or HTML) that is not marked as an attachment and has
// no file name; in a multipart/alternative the HTML alternative wins. Every other part is an
// attachment (a forwarded message/rfc822 part is one attachment, and AttachedMessage reads it
// as a message of its own), except parts that the HTML
// body shows by "cid:": those are inline parts for the body page. Texts come back in UTF-8;
// Charset() is the body part's declared charset ("" when it declares none). Attachment and
// inline names are decoded (RFC 2231, RFC 2047) and made safe to use as plain file names; a
// part without a name gets one from its type ("attachment2.pdf", the subject + ".eml" for a
// forwarded message).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/mail/MailMessage.h"

typedef struct _GMimeMessage GMimeMessage;
typedef struct _GMimeObject GMimeObject;

namespace vellora::mail {

class GMimeMailMessage : public MailMessage {
  public:
    GMimeMailMessage();
    ~GMimeMailMessage() override;
    GMimeMailMessage(const GMimeMailMessage&) = delete;
    GMimeMailMessage& operator=(const GMimeMailMessage&) = delete;

    void Parse(const std::string& raw) override;
    std::string Subject() const override { return subject_; }
    std::string FromName() const override { return from_.name; }
    std::string FromAddress() const override { return from_.address; }
    std::string Body() const override { return body_; }
    std::string Charset() const override { return charset_; }
    std::int32_t HtmlBody() const override { return html_ ? 1 : 0; }
    std::int32_t AttachmentCount() const override;
    std::string AttachmentName(std::int16_t index) const override;
    std::int32_t SaveAttachment(const std::string& path, std::int16_t index) const override;
    std::int32_t ToCount() const override { return static_cast<std::int32_t>(to_.size()); }
    std::int32_t CcCount() const override { return static_cast<std::int32_t>(cc_.size()); }
    std::string ToName(std::int16_t index) const override;
    std::string ToAddress(std::int16_t index) const override;
    std::string CcName(std::int16_t index) const override;
    std::string CcAddress(std::int16_t index) const override;
    std::vector<InlinePart> InlineParts() const override;
    std::int32_t SaveInlinePart(const std::string& path, std::size_t index) const override;
    std::vector<std::string> HeaderValues(const std::string& name) const override;
    std::unique_ptr<MailMessage> AttachedMessage(std::int16_t index) const override;

    // The MIME type of attachment `index` (1-based), e.g. "application/pdf"; "" out of range.
    std::string AttachmentType(std::int16_t index) const;

    struct Address {
        std::string name, address;
    };
    struct Part {
        GMimeObject* object = nullptr;  // owned by the parsed message
        std::string name, type, contentId;
    };

  private:
    void Clear();
    void Read();  // everything the accessors give, from message_
    void Walk(GMimeObject* object, int depth);
    void TakeBody(GMimeObject* part, bool html);
    void SortParts(std::vector<Part> candidates);

    GMimeMessage* message_ = nullptr;
    std::string subject_, body_, charset_;
    bool html_ = false, haveBody_ = false;
    Address from_;
    std::vector<Address> to_, cc_;
    std::vector<Part> candidates_, attachments_, inline_;
};

}  // namespace vellora::mail
