// The side effects that the main program's logic must be able to control in tests: time,
// dialogs, starting programs, and the status logs with notifications. Each has one real
// implementation (Qt, POSIX, CUPS) and fakes for the tests of the logic above it.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace vellora::core {

using TimePoint = std::chrono::system_clock::time_point;

class Clock {
  public:
    virtual ~Clock() = default;
    virtual TimePoint Now() = 0;  // local wall-clock time, as the timer and time-outs see it
};

enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No };

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual MsgResult MessageBox(const std::string& text, MsgButtons buttons,
                                 const std::string& title) = 0;
    // The text entered, or nothing when the user cancelled.
    virtual std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                                const std::string& initial) = 0;
};

// Starts a helper from its command line, without waiting; false when it could not start.
class Launcher {
  public:
    virtual ~Launcher() = default;
    virtual bool Launch(const std::string& cmdLine) = 0;
};

// The three status logs and the notification mails (kept by the main window).
class StatusSink {
  public:
    virtual ~StatusSink() = default;
    virtual void LogMailStatus(const std::string& text) = 0;
    virtual void LogErrorStatus(const std::string& text) = 0;
    virtual void LogSucStatus(const std::string& text) = 0;
    virtual void SendNotification(const std::string& kind, const std::string& subject,
                                  const std::string& body) = 0;
};

// Lets pending window events run during long operations (the mail check between messages).
class EventPump {
  public:
    virtual ~EventPump() = default;
    virtual void DoEvents() = 0;
};

}  // namespace vellora::core

namespace vellora::mail {
class MailMessage;
}

namespace vellora::core {

// What the first matching rule asks for; kept by the main window until the next match.
struct MatchResult {
    bool matched = false;
    bool printBody = false;
    bool printAttachments = false;
    std::string printer;  // resolved printer name for the jobs
};

// Rule matching and job creation, as the mail check uses them for each fetched message.
class MessageHandling {
  public:
    virtual ~MessageHandling() = default;
    virtual MatchResult MatchRules(const mail::MailMessage& message,
                                   const std::string& accountLabel) = 0;
    // The body page and its job. accountId and messageId keep pages of different accounts apart.
    virtual void BodyStep(const mail::MailMessage& message, int accountId,
                          const std::string& messageId, const MatchResult& match) = 0;
    // One job per printable attachment.
    virtual void AttachmentStep(const mail::MailMessage& message, const MatchResult& match) = 0;
};

// The dispatcher, run on every timer tick before the mail check is considered.
class JobDispatch {
  public:
    virtual ~JobDispatch() = default;
    virtual void CheckJobs() = 0;
};

// One mail check over every account.
class MailCheck {
  public:
    virtual ~MailCheck() = default;
    virtual void RunMailCheck() = 0;
    virtual bool Running() const = 0;
};

}  // namespace vellora::core
