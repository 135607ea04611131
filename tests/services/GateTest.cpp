// Both services against hostile clients, as a hostile client talks to them (raw bytes on a
// socket): a content coding, a chunked or falsely measured body past the limit, slow
// connections, a foreign Host or Origin. Each is refused with its status, nothing lands on
// disk past the limit, memory stays bounded, and normal requests are still answered.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <thread>

#include "tests/services/RawHttp.h"
#include "tests/support/Services.h"
#include "tests/support/Smtp.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
namespace raw = vtest::raw;

constexpr long kLimit = 2L * 1024 * 1024;

std::string Host(int port) {
    return "127.0.0.1:" + std::to_string(port);
}

std::string PostHead(int port, const std::string& extra) {
    return "POST /convert HTTP/1.1\r\nHost: " + Host(port) +
           "\r\nContent-Type: multipart/form-data; boundary=XyZ\r\n" + extra + "\r\n";
}

std::string Multipart(const std::string& type, const std::string& document) {
    auto field = [](const std::string& name, const std::string& value) {
        return "--XyZ\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value +
               "\r\n";
    };
    return field("jobid", "12") + field("type", type) +
           "--XyZ\r\nContent-Disposition: form-data; name=\"document\"; filename=\"d\"\r\n"
           "Content-Type: application/octet-stream\r\n\r\n" +
           document + "\r\n--XyZ--\r\n";
}

bool EmptyFolder(const std::string& path) {
    return fs::is_empty(path);
}

class ConvertdGate : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        vtest::ConvertService::Options o;
        o.maxUploadBytes = kLimit;
        o.extraArgs = {"--request-time", "3", "--host-name", "convert.example.test"};
        svc_ = new vtest::ConvertService(o);
    }
    static void TearDownTestSuite() {
        delete svc_;
        svc_ = nullptr;
    }
    static vtest::ConvertService* svc_;
};
vtest::ConvertService* ConvertdGate::svc_ = nullptr;

TEST_F(ConvertdGate, HostileBodiesAreRefusedBeforeAnythingIsStored) {
    const int port = svc_->port();
    // A gzip bomb: 100 MB of zeros in about 100 kB, which a decoding server would inflate.
    vtest::TempDir dir("gate-bomb");
    ASSERT_EQ(
        vtest::Run({"/bin/sh", "-c", "head -c 100000000 /dev/zero | gzip -9 > " + dir / "bomb.gz"}),
        0);
    const std::string bomb = vtest::ReadFile(dir / "bomb.gz");
    const std::string chunk = std::string(64 * 1024, 'c');
    const std::string hexChunk = "10000\r\n" + chunk + "\r\n";
    const struct {
        std::string name;
        std::string head, body;
        std::size_t times;
        int status;
    } cases[] = {
        {"gzip body",
         PostHead(port, "Content-Encoding: gzip\r\nContent-Length: " + std::to_string(bomb.size()) +
                            "\r\n"),
         bomb, 1, 415},
        // 40 MB in chunks against a 2 MB limit: refused once the decoded bytes pass it.
        {"chunked past the limit", PostHead(port, "Transfer-Encoding: chunked\r\n"), hexChunk, 640,
         413},
        {"length past the limit", PostHead(port, "Content-Length: 3000000\r\n"), "tiny", 1, 413},
        // A stated length shorter than what follows: only that much is the request.
        {"length shorter than the body", PostHead(port, "Content-Length: 10\r\n"),
         Multipart("png", std::string(100000, 'p')), 1, 400},
        {"foreign host",
         "GET /results/x HTTP/1.1\r\nHost: attacker.example:" + std::to_string(port) + "\r\n\r\n",
         "", 0, 421},
        {"foreign origin",
         PostHead(port, "Origin: http://attacker.example\r\nContent-Length: 4\r\n"), "abcd", 1,
         403},
        {"browser from another site",
         "GET /results/x HTTP/1.1\r\nHost: " + Host(port) +
             "\r\nSec-Fetch-Site: cross-site\r\n\r\n",
         "", 0, 403},
    };
    for (const auto& c : cases) {
        const auto x = raw::Send(port, c.head, c.body, c.times);
        EXPECT_EQ(x.status(), c.status) << c.name << ": " << x.answer.substr(0, 200);
        EXPECT_NE(x.answer.find("ERROR"), std::string::npos) << c.name;
        if (c.times > 1) {
            // The service stopped reading: far less than the 40 MB went in (the limit, what
            // the sockets buffer, and a short drain so the answer is not lost to a reset).
            EXPECT_LT(x.sent, std::size_t(20) * 1024 * 1024) << c.name;
        }
        EXPECT_TRUE(EmptyFolder(svc_->workDir())) << c.name;
        EXPECT_TRUE(EmptyFolder(svc_->resultsDir())) << c.name;
    }
    // A name the service was told it is known by is answered (the result does not exist).
    const auto named =
        raw::Send(port,
                  "GET /results/00000000000000000000000000000000-001.png HTTP/1.1\r\n"
                  "Host: convert.example.test\r\n\r\n");
    EXPECT_EQ(named.status(), 404) << named.answer;
    const long peak = raw::PeakKb(svc_->pid());
    ::testing::Test::RecordProperty("convertd_peak_rss_kb", std::to_string(peak));
    std::printf("convertd peak resident memory after the hostile bodies: %ld kB\n", peak);
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 200 * 1024) << "a 1 GB inflation or a 40 MB body would show here";
}

// Sixteen clients that send a byte now and then hold no worker: a normal request is answered
// while they are all still connected, and each of them is cut off at the request deadline.
TEST_F(ConvertdGate, SlowClientsHoldNoWorkerAndAreCutOff) {
    const int port = svc_->port();
    std::vector<int> slow;
    for (int i = 0; i < 16; ++i) {
        const int fd = raw::Connect(port);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::send(fd, "P", 1, MSG_NOSIGNAL), 1);
        slow.push_back(fd);
    }
    std::atomic<bool> stop{false};
    std::thread dribble([&] {
        const std::string rest = "OST /convert HTTP/1.1\r\nHost: x";
        for (std::size_t i = 0; i < rest.size() && !stop; ++i) {
            for (int fd : slow) (void)::send(fd, &rest[i], 1, MSG_NOSIGNAL | MSG_DONTWAIT);
            std::this_thread::sleep_for(300ms);
        }
    });
    const auto start = std::chrono::steady_clock::now();
    const auto normal =
        raw::Send(port, "GET /results/00000000000000000000000000000000-001.png HTTP/1.1\r\nHost: " +
                            Host(port) + "\r\n\r\n");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(normal.status(), 404) << normal.answer;
    EXPECT_LT(took, 3s) << "answered before the slow clients' deadline came";
    int cut = 0;
    for (int fd : slow) {
        const std::string answer = raw::ReadAll(fd, 8s);
        if (answer.rfind("HTTP/1.1 408", 0) == 0) ++cut;
        ::close(fd);
    }
    stop = true;
    dribble.join();
    EXPECT_EQ(cut, 16);
}

class NotifydGate : public ::testing::Test {
  protected:
    vtest::NotifyService::Options Relay() {
        vtest::NotifyService::Options o;
        o.smtpUrl = smtp_.url();
        o.extraArgs = {"--request-time", "3"};
        return o;
    }
    std::string Get(int port, const std::string& query, const std::string& extra = {}) {
        return "GET /notify?" + query + " HTTP/1.1\r\nHost: " + Host(port) + "\r\n" + extra +
               "\r\n";
    }
    vtest::SmtpServer smtp_;
};

TEST_F(NotifydGate, BrowserAndRebindingRequestsAreRefusedAndSendNothing) {
    vtest::NotifyService svc(Relay());
    const int port = svc.port();
    const std::string q = "kind=error&subject=s&body=b&to=ops%40example.test";
    const struct {
        std::string name, request, body;
        int status;
    } cases[] = {
        {"foreign host",
         "GET /notify?" + q + " HTTP/1.1\r\nHost: rebound.example:" + std::to_string(port) +
             "\r\n\r\n",
         "", 421},
        {"foreign origin", Get(port, q, "Origin: https://attacker.example\r\n"), "", 403},
        {"cross-site fetch", Get(port, q, "Sec-Fetch-Site: cross-site\r\n"), "", 403},
        {"gzip body", Get(port, q, "Content-Encoding: gzip\r\nContent-Length: 3\r\n"), "abc", 415},
        {"chunked past the limit", Get(port, q, "Transfer-Encoding: chunked\r\n"),
         "20000\r\n" + std::string(0x20000, 'x') + "\r\n0\r\n\r\n", 413},
    };
    for (const auto& c : cases) {
        const auto x = raw::Send(port, c.request, c.body, 1);
        EXPECT_EQ(x.status(), c.status) << c.name << ": " << x.answer;
    }
    EXPECT_TRUE(smtp_.messages().empty());
    const auto ok = raw::Send(port, Get(port, q, "Origin: http://" + Host(port) + "\r\n"));
    EXPECT_EQ(ok.status(), 200) << ok.answer;
    EXPECT_EQ(smtp_.messages().size(), 1u);
}

TEST_F(NotifydGate, SlowClientsHoldNoWorker) {
    vtest::NotifyService svc(Relay());
    const int port = svc.port();
    std::vector<int> slow;
    for (int i = 0; i < 16; ++i) {
        slow.push_back(raw::Connect(port));
        ASSERT_EQ(::send(slow.back(), "GET /no", 7, MSG_NOSIGNAL), 7);
    }
    const auto start = std::chrono::steady_clock::now();
    const auto x = raw::Send(port, Get(port, "kind=ok&subject=s&body=b&to=a%40example.test"));
    EXPECT_EQ(x.status(), 200) << x.answer;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << "before the slow ones were cut";
    for (int fd : slow) {
        EXPECT_EQ(raw::ReadAll(fd, 8s).rfind("HTTP/1.1 408", 0), 0u);
        ::close(fd);
    }
}

}  // namespace
