// The three status logs of the status tab (mail activity, errors, printed jobs), the
// optional status file, and notification mails through the notification service.
#pragma once

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

#include "main/core/Options.h"
#include "main/core/Seams.h"

namespace vellora::core {

enum class StatusBox { Mail = 0, Error = 1, Success = 2 };

// Raised by a log call when the status file cannot be written; the box has its line by then.
struct StatusFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct BoxLimit {
    std::size_t trimWhenLonger;
    std::size_t trimTo;
};
BoxLimit LimitOf(StatusBox box);

// The notification service's base address: $VELLORA_NOTIFY_URL, else the local service.
std::string NotifyServiceBase();
// The full request, every value percent-encoded.
std::string NotifyRequestUrl(const std::string& base, const std::string& kind,
                             const std::string& subject, const std::string& body,
                             const std::string& recipient);

class StatusLogs : public StatusSink {
  public:
    static constexpr std::chrono::milliseconds kDefaultNotifyTimeout{15000};

    // folder: where the status file goes (the installation folder).
    StatusLogs(Clock& clock, const Options& options, std::string folder);

    // Called with the box's whole new text after every line (the window shows it).
    void SetBoxChanged(std::function<void(StatusBox, const std::string&)> changed) {
        changed_ = std::move(changed);
    }
    // While a notification request is under way the window keeps running through the pump.
    void SetEventPump(EventPump* pump) { pump_ = pump; }
    void SetNotifyTimeout(std::chrono::milliseconds timeout) { notifyTimeout_ = timeout; }
    void SetNotifyBase(std::string base) { notifyBase_ = std::move(base); }

    void LogMailStatus(const std::string& text) override;
    void LogErrorStatus(const std::string& text) override;
    void LogSucStatus(const std::string& text) override;
    void SendNotification(const std::string& kind, const std::string& subject,
                          const std::string& body) override;

    const std::string& Text(StatusBox box) const { return boxes_[static_cast<int>(box)]; }
    std::string StatusFilePath() const;

  private:
    void Log(StatusBox box, const std::string& text);
    void AppendToFile(const std::string& text);
    std::string Fetch(const std::string& url);

    Clock& clock_;
    const Options& options_;
    std::string folder_;
    std::string boxes_[3];
    std::function<void(StatusBox, const std::string&)> changed_;
    EventPump* pump_ = nullptr;
    std::chrono::milliseconds notifyTimeout_ = kDefaultNotifyTimeout;
    std::string notifyBase_;
};

}  // namespace vellora::core
