// Scripted stand-ins for the mail component and the main window's seams, for the tests of the
// mail check's logic.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "main/core/Seams.h"
#include "platform/mail/MailMessage.h"
#include "platform/mail/MailSession.h"

namespace vtest {

struct ScriptedMessage {
    std::string id;
    std::string raw;  // empty: the retrieve fails
};

// One scripted mailbox per login user; every call is recorded.
class ScriptedSession : public vellora::mail::MailSession {
  public:
    struct Box {
        std::string user;
        std::int32_t loginCode = 0;
        std::vector<ScriptedMessage> messages;
    };
    std::vector<Box> boxes;
    std::vector<std::string> calls;

    void Reset() override {
        calls.push_back("Reset");
        current_ = nullptr;
    }
    void SetImap(bool imap) override { calls.push_back(imap ? "SetImap(1)" : "SetImap(0)"); }
    void SetPort(std::int32_t port) override {
        calls.push_back("SetPort(" + std::to_string(port) + ")");
    }
    std::int32_t InitSsl() override {
        calls.push_back("InitSsl");
        return sslCode;
    }
    void SetNtlm(bool on) override { calls.push_back(on ? "SetNtlm(1)" : "SetNtlm(0)"); }
    std::int32_t Login(const std::string& server, const std::string& user,
                       const std::string& password) override {
        calls.push_back("Login(" + server + "," + user + "," + password + ")");
        return DoLogin(user);
    }
    std::int32_t LoginEncrypted(const std::string& server, const std::string& user,
                                const std::string& password) override {
        calls.push_back("LoginEncrypted(" + server + "," + user + "," + password + ")");
        return DoLogin(user);
    }
    std::int32_t MessageCount() override {
        return current_ ? static_cast<std::int32_t>(current_->messages.size()) : 0;
    }
    std::string MessageId(std::int32_t index) override {
        return current_->messages.at(static_cast<std::size_t>(index - 1)).id;
    }
    std::string Retrieve(std::int32_t index) override {
        calls.push_back("Retrieve(" + std::to_string(index) + ")");
        return current_->messages.at(static_cast<std::size_t>(index - 1)).raw;
    }
    void Close() override {
        calls.push_back("Close");
        current_ = nullptr;
    }
    void SetOption(bool) override {}

    std::int32_t sslCode = 0;

  private:
    std::int32_t DoLogin(const std::string& user) {
        for (Box& b : boxes) {
            if (b.user == user) {
                if (b.loginCode == 0) current_ = &b;
                return b.loginCode;
            }
        }
        return vellora::mail::kLoginRefused;
    }
    Box* current_ = nullptr;
};

// Knows only the subject: the raw text's "Subject: " line.
class SubjectOnlyMessage : public vellora::mail::MailMessage {
  public:
    void Parse(const std::string& raw) override {
        subject_.clear();
        const auto at = raw.find("Subject: ");
        if (at != std::string::npos) subject_ = raw.substr(at + 9, raw.find('\r', at) - at - 9);
        ++parsed;
    }
    std::string Subject() const override { return subject_; }
    std::string FromName() const override { return {}; }
    std::string FromAddress() const override { return {}; }
    std::string Body() const override { return {}; }
    std::string Charset() const override { return {}; }
    std::int32_t HtmlBody() const override { return 0; }
    std::int32_t AttachmentCount() const override { return 0; }
    std::string AttachmentName(std::int16_t) const override { return {}; }
    std::int32_t SaveAttachment(const std::string&, std::int16_t) const override { return 0; }
    std::int32_t ToCount() const override { return 0; }
    std::int32_t CcCount() const override { return 0; }
    std::string ToName(std::int16_t) const override { return {}; }
    std::string ToAddress(std::int16_t) const override { return {}; }
    std::string CcName(std::int16_t) const override { return {}; }
    std::string CcAddress(std::int16_t) const override { return {}; }
    std::vector<vellora::mail::InlinePart> InlineParts() const override { return {}; }
    std::int32_t SaveInlinePart(const std::string&, std::size_t) const override { return 0; }
    int parsed = 0;

  private:
    std::string subject_;
};

// Collects the log lines and notifications.
struct RecordingStatus : vellora::core::StatusSink {
    std::vector<std::string> mail, errors, successes, notifications;
    void LogMailStatus(const std::string& t) override { mail.push_back(t); }
    void LogErrorStatus(const std::string& t) override { errors.push_back(t); }
    void LogSucStatus(const std::string& t) override { successes.push_back(t); }
    void SendNotification(const std::string& kind, const std::string& subject,
                          const std::string& body) override {
        notifications.push_back(kind + "|" + subject + "|" + body);
    }
};

// Matches every message; records what it was asked, and can run a hook (to look at the
// settings file at the moment of matching).
struct RecordingHandling : vellora::core::MessageHandling {
    std::vector<std::string> matched, bodies;
    std::function<void(const std::string& subject)> onMatch;
    bool printBody = true;
    vellora::core::MatchResult MatchRules(const vellora::mail::MailMessage& m,
                                          const std::string& label) override {
        matched.push_back(label + "|" + m.Subject());
        if (onMatch) onMatch(m.Subject());
        return {true, printBody, false, "printer"};
    }
    void BodyStep(const vellora::mail::MailMessage& m, int, const std::string& id,
                  const vellora::core::MatchResult&) override {
        bodies.push_back(id + "|" + m.Subject());
    }
    void AttachmentStep(const vellora::mail::MailMessage&,
                        const vellora::core::MatchResult&) override {}
};

struct HookPump : vellora::core::EventPump {
    std::function<void()> hook;
    int calls = 0;
    void DoEvents() override {
        ++calls;
        if (hook) hook();
    }
};

}  // namespace vtest
