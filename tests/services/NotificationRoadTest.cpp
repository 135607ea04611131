// The main program's notification through the real vellora-notifyd to a real SMTP server.
#include <gtest/gtest.h>

#include "main/core/ScriptedDialogs.h"
#include "main/core/StatusLogs.h"
#include "shared/AppFolder.h"
#include "tests/support/Services.h"
#include "tests/support/Smtp.h"

namespace {
using namespace vellora::core;
using namespace std::chrono_literals;

class NotificationRoad : public ::testing::Test {
  protected:
    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        options.notifyEmail = "ops+print@example.test";
    }
    void TearDown() override { vellora::SetAppFolderForTesting(""); }
    vtest::TempDir dir{"notify-road"};
    FakeClock clock;
    Options options;
    StatusLogs logs{clock, options, dir.path()};
};

TEST_F(NotificationRoad, SendNotificationArrivesWithEveryCharacterIntact) {
    vtest::SmtpServer smtp;
    vtest::NotifyService::Options o;
    o.smtpUrl = smtp.url();
    vtest::NotifyService service(o);
    logs.SetNotifyBase(service.url());
    const std::string subject =
        "Job 17 failed: R&D #2 \xC3\xBC"
        "bersicht";
    const std::string body = "Printer 'Office 2' said: paper & toner # low\n\xE2\x82\xAC 12";
    logs.SendNotification("error", subject, body);
    const auto m = smtp.waitForMessage();
    ASSERT_TRUE(m);
    EXPECT_EQ(m->recipients, std::vector<std::string>{"ops+print@example.test"});
    EXPECT_EQ(m->subject, subject);
    EXPECT_EQ(m->body, body);
    EXPECT_EQ(logs.Text(StatusBox::Error), "") << "an acknowledged notification logs nothing";
}

TEST_F(NotificationRoad, AFailedSendGivesAnErrorLineWithTheServicesAnswer) {
    vtest::SmtpServer::Options so;
    so.rejectDomain = "example.test";
    vtest::SmtpServer smtp(so);
    vtest::NotifyService::Options o;
    o.smtpUrl = smtp.url();
    vtest::NotifyService service(o);
    logs.SetNotifyBase(service.url());
    logs.SendNotification("error", "s", "b");
    const std::string line = logs.Text(StatusBox::Error);
    EXPECT_NE(line.find("ERROR mail not sent"), std::string::npos) << line;
    EXPECT_NE(line.find("550"), std::string::npos) << line;
    EXPECT_EQ(smtp.count(), 0u);
}

TEST_F(NotificationRoad, AnUnreachableServiceGivesTheFailureLineWithAnEmptyAnswer) {
    vtest::NotifyService::Options o;
    o.smtpUrl = "smtp://127.0.0.1:1";
    auto service = std::make_unique<vtest::NotifyService>(o);
    const std::string base = service->url();
    service->stop();
    logs.SetNotifyBase(base);
    logs.SendNotification("error", "s", "b");
    const std::string line = logs.Text(StatusBox::Error);
    const std::string tail = "could not be sent: \r\n";  // nothing after the failure text
    ASSERT_GE(line.size(), tail.size()) << line;
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail) << line;
}

}  // namespace
