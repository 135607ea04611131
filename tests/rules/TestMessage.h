// A message with fields set directly, for the tests of rules and job creation.
#pragma once

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/mail/MailMessage.h"

namespace vtest {

struct Person {
    std::string name, address;
};

struct TestAttachment {
    std::string name, content;
};

class TestMessage : public vellora::mail::MailMessage {
  public:
    std::string subject, fromName, fromAddress, body, charset;
    std::int32_t html = 0;
    std::vector<Person> to, cc;
    std::vector<TestAttachment> attachments;
    std::vector<vellora::mail::InlinePart> inlineParts;
    std::vector<std::string> inlineContent;
    std::vector<std::pair<std::string, std::string>> headers;  // name, value, top first
    mutable std::vector<std::pair<std::string, int>> saved;    // path, index of every save

    void Parse(const std::string&) override {}
    std::string Subject() const override { return subject; }
    std::string FromName() const override { return fromName; }
    std::string FromAddress() const override { return fromAddress; }
    std::string Body() const override { return body; }
    std::string Charset() const override { return charset; }
    std::int32_t HtmlBody() const override { return html; }
    std::int32_t AttachmentCount() const override {
        return static_cast<std::int32_t>(attachments.size());
    }
    std::string AttachmentName(std::int16_t i) const override { return attachments.at(i - 1).name; }
    std::int32_t SaveAttachment(const std::string& path, std::int16_t i) const override {
        saved.emplace_back(path, i);
        std::ofstream(path, std::ios::binary) << attachments.at(i - 1).content;
        return 0;
    }
    std::int32_t ToCount() const override { return static_cast<std::int32_t>(to.size()); }
    std::int32_t CcCount() const override { return static_cast<std::int32_t>(cc.size()); }
    std::string ToName(std::int16_t i) const override { return to.at(i - 1).name; }
    std::string ToAddress(std::int16_t i) const override { return to.at(i - 1).address; }
    std::string CcName(std::int16_t i) const override { return cc.at(i - 1).name; }
    std::string CcAddress(std::int16_t i) const override { return cc.at(i - 1).address; }
    std::vector<vellora::mail::InlinePart> InlineParts() const override { return inlineParts; }
    std::int32_t SaveInlinePart(const std::string& path, std::size_t i) const override {
        std::ofstream(path, std::ios::binary) << inlineContent.at(i);
        return 0;
    }
    std::vector<std::string> HeaderValues(const std::string& name) const override {
        std::vector<std::string> out;
        for (const auto& [n, v] : headers)
            if (n == name) out.push_back(v);
        return out;
    }
};

}  // namespace vtest
