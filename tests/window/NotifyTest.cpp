// Notifications against a real HTTP server on 127.0.0.1 that records each request: the four
// query values arrive decoded as sent, the success word is honoured, and a service that is
// down or silent yields one error line within the time-out while the window keeps running.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>
#include <thread>

#include "main/core/ScriptedDialogs.h"
#include "main/core/StatusLogs.h"
#include "shared/AppFolder.h"
#include "tests/support/TestSupport.h"

using namespace vellora::core;
using namespace std::chrono;

namespace {

struct Recorded {
    std::string path;
    std::multimap<std::string, std::string> params;
};

class NotifyServer {
  public:
    explicit NotifyServer(std::string answer) : answer_(std::move(answer)) {
        server_.Get("/notify", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex_);
            requests_.push_back({req.path, {req.params.begin(), req.params.end()}});
            res.set_content(answer_, "text/plain");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        vtest::WaitFor([this] { return server_.is_running(); }, std::chrono::seconds(5));
    }
    ~NotifyServer() {
        server_.stop();
        thread_.join();
    }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<Recorded> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    httplib::Server server_;
    std::string answer_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<Recorded> requests_;
};

struct CountingPump : EventPump {
    int calls = 0;
    void DoEvents() override { ++calls; }
};

class NotifyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        options.notifyEmail = "ops+print@example.com";
    }
    void TearDown() override { vellora::SetAppFolderForTesting(""); }
    vtest::TempDir dir{"window-notify"};
    FakeClock clock;
    Options options;
    StatusLogs logs{clock, options, dir.path()};
};

TEST_F(NotifyTest, QueryValuesArriveDecodedAsSent) {
    NotifyServer server("SENT");
    logs.SetNotifyBase(server.base());
    const std::string subject = "Invoice #12 & more = 100% ?ok";
    const std::string body = "Line one\r\nLine two: caf\xC3\xA9 + tea/milk";
    logs.SendNotification("error", subject, body);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& p = requests[0].params;
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p.find("kind")->second, "error");
    EXPECT_EQ(p.find("subject")->second, subject);
    EXPECT_EQ(p.find("body")->second, body);
    EXPECT_EQ(p.find("to")->second, "ops+print@example.com");
    EXPECT_EQ(logs.Text(StatusBox::Error), "");
}

TEST_F(NotifyTest, AnAnswerOtherThanTheSuccessWordGivesOneErrorLineWithIt) {
    NotifyServer server("ERROR mail server refused the recipient");
    logs.SetNotifyBase(server.base());
    logs.SendNotification("success", "Printed", "job 7");
    EXPECT_NE(logs.Text(StatusBox::Error)
                  .find(": Notification could not be sent: ERROR mail server refused the "
                        "recipient\r\n"),
              std::string::npos);
    EXPECT_EQ(server.requests().size(), 1u);  // not retried
}

TEST_F(NotifyTest, AServiceThatIsDownGivesTheFailureTextWithAnEmptyAnswer) {
    const int port = vtest::FreeTcpPort();
    logs.SetNotifyBase("http://127.0.0.1:" + std::to_string(port));
    logs.SendNotification("error", "s", "b");
    const std::string& box = logs.Text(StatusBox::Error);
    EXPECT_NE(box.find(": Notification could not be sent: \r\n"), std::string::npos);
}

TEST_F(NotifyTest, ASilentServiceIsGivenUpAtTheTimeOutWhileTheWindowKeepsRunning) {
    // A socket that accepts connections into its backlog and never answers.
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(fd, 4), 0);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    CountingPump pump;
    logs.SetEventPump(&pump);
    logs.SetNotifyTimeout(milliseconds(400));
    logs.SetNotifyBase("http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)));
    const auto start = steady_clock::now();
    logs.SendNotification("error", "s", "b");
    const auto took = steady_clock::now() - start;
    close(fd);
    EXPECT_LT(took, milliseconds(1400) + milliseconds(400));
    EXPECT_GE(took, milliseconds(350));
    EXPECT_GT(pump.calls, 5);  // events ran while the request waited
    EXPECT_NE(logs.Text(StatusBox::Error).find("Notification could not be sent"),
              std::string::npos);
}

TEST(NotifyAddress, EnvironmentNamesAnotherServiceAndTheDefaultIsLocal) {
    unsetenv("VELLORA_NOTIFY_URL");
    EXPECT_EQ(NotifyServiceBase().rfind("http://127.0.0.1:", 0), 0u);
    setenv("VELLORA_NOTIFY_URL", "http://10.1.2.3:9000/", 1);
    EXPECT_EQ(NotifyServiceBase(), "http://10.1.2.3:9000");
    unsetenv("VELLORA_NOTIFY_URL");
    EXPECT_EQ(NotifyRequestUrl("http://h", "k", "a b&c", "#", "x@y"),
              "http://h/notify?kind=k&subject=a%20b%26c&body=%23&to=x%40y");
}

}  // namespace
