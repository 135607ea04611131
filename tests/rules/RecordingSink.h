// A status sink that keeps every line and notification, for tests of the logic above it.
#pragma once

#include <string>
#include <vector>

#include "main/core/Seams.h"

namespace vtest {

struct Notification {
    std::string kind, subject, body;
};

class RecordingSink : public vellora::core::StatusSink {
  public:
    std::vector<std::string> mail, errors, successes;
    std::vector<Notification> notifications;
    void LogMailStatus(const std::string& t) override { mail.push_back(t); }
    void LogErrorStatus(const std::string& t) override { errors.push_back(t); }
    void LogSucStatus(const std::string& t) override { successes.push_back(t); }
    void SendNotification(const std::string& kind, const std::string& subject,
                          const std::string& body) override {
        notifications.push_back({kind, subject, body});
    }
};

}  // namespace vtest
