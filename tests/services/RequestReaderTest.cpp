// The gate's request reader, fed bytes as a client sends them: what it refuses, with which
// status, and how little it takes in before it does.
#include <gtest/gtest.h>

#include "services/common/RequestReader.h"

namespace {

using vellora::service::HostPolicy;
using vellora::service::RequestReader;
using State = RequestReader::State;

HostPolicy Local() {
    return {"127.0.0.1", 8632, {"print.example.test"}};
}

std::string Head(const std::string& extra, const std::string& host = "127.0.0.1:8632") {
    return "POST /convert HTTP/1.1\r\nHost: " + host + "\r\n" + extra + "\r\n";
}

struct Outcome {
    State state;
    int status;
    std::string body;
};

Outcome Read(const std::string& bytes, std::size_t limit = 100) {
    RequestReader r(limit, Local());
    // One byte at a time: every split of the stream must give the same result.
    State s = State::NeedMore;
    for (char c : bytes) {
        s = r.Feed(&c, 1);
        if (s != State::NeedMore) break;
    }
    return {s, s == State::Refused ? r.GetRefusal().status : 0,
            s == State::Complete ? r.Request().body : ""};
}

TEST(RequestReader, RefusesEachHostileRequestWithItsStatus) {
    const std::string big(101, 'x');
    const struct {
        std::string name, bytes;
        int status;
    } cases[] = {
        {"gzip body", Head("Content-Encoding: gzip\r\nContent-Length: 4\r\n") + "abcd", 415},
        {"identity coding", Head("Content-Encoding: identity\r\nContent-Length: 1\r\n") + "a", 415},
        {"length over the limit", Head("Content-Length: 101\r\n") + big, 413},
        {"chunked over the limit",
         Head("Transfer-Encoding: chunked\r\n") + "40\r\n" + std::string(64, 'a') + "\r\n40\r\n" +
             std::string(64, 'b') + "\r\n0\r\n\r\n",
         413},
        {"length and chunked", Head("Content-Length: 3\r\nTransfer-Encoding: chunked\r\n"), 400},
        {"two lengths", Head("Content-Length: 3\r\nContent-Length: 4\r\n"), 400},
        {"negative length", Head("Content-Length: -1\r\n"), 400},
        {"other transfer coding", Head("Transfer-Encoding: gzip, chunked\r\n"), 501},
        {"bad chunk size", Head("Transfer-Encoding: chunked\r\n") + "zz\r\n", 400},
        {"foreign host", Head("Content-Length: 0\r\n", "attacker.example:8632"), 421},
        {"our address, other port", Head("Content-Length: 0\r\n", "127.0.0.1:9999"), 421},
        {"no host", "GET / HTTP/1.1\r\n\r\n", 400},
        {"two hosts", Head("Host: 127.0.0.1:8632\r\n"), 400},
        {"foreign origin", Head("Origin: http://attacker.example\r\n"), 403},
        {"null origin", Head("Origin: null\r\n"), 403},
        {"cross-site fetch", Head("Sec-Fetch-Site: cross-site\r\n"), 403},
        {"odd expectation", Head("Expect: magic\r\n"), 417},
        {"folded header", Head("X-A: b\r\n c\r\n"), 400},
        {"head too large", Head("X-Big: " + std::string(20000, 'h') + "\r\n"), 431},
        {"not HTTP", "HELLO\r\n\r\n", 400},
    };
    for (const auto& c : cases) {
        const Outcome o = Read(c.bytes);
        EXPECT_EQ(o.state, State::Refused) << c.name;
        EXPECT_EQ(o.status, c.status) << c.name;
    }
}

TEST(RequestReader, StopsTakingBytesOnceTheLimitIsPassed) {
    // A chunked body is counted as it is decoded: the second chunk already tips it over, so
    // the reader refuses before the client has sent the rest.
    RequestReader r(1000, Local());
    const std::string head = Head("Transfer-Encoding: chunked\r\n");
    ASSERT_EQ(r.Feed(head.data(), head.size()), State::NeedMore);
    const std::string first = "3e8\r\n" + std::string(1000, 'a') + "\r\n";
    ASSERT_EQ(r.Feed(first.data(), first.size()), State::NeedMore);
    const std::string next = "1\r\n";
    EXPECT_EQ(r.Feed(next.data(), next.size()), State::Refused);
    EXPECT_EQ(r.GetRefusal().status, 413);
    EXPECT_EQ(r.Held(), 0u) << "what was read is let go";
}

TEST(RequestReader, AcceptsWellFormedBodies) {
    EXPECT_EQ(Read(Head("Content-Length: 5\r\n") + "hello").body, "hello");
    EXPECT_EQ(Read(Head("Transfer-Encoding: Chunked\r\n") +
                   "2;ext=1\r\nhe\r\n3\r\nllo\r\n0\r\nTrailer: x\r\n\r\n")
                  .body,
              "hello");
    // A body longer than its stated length: the rest is not this request's (one request per
    // connection), and no second request is smuggled in behind it.
    const Outcome shortLength = Read(Head("Content-Length: 2\r\n") + "heGET / HTTP/1.1\r\n\r\n");
    EXPECT_EQ(shortLength.state, State::Complete);
    EXPECT_EQ(shortLength.body, "he");
    EXPECT_EQ(Read(Head("Content-Length: 100\r\n") + std::string(100, 'x')).state, State::Complete);
    EXPECT_EQ(Read("GET /notify?a=1 HTTP/1.1\r\nHost: localhost:8632\r\n\r\n").state,
              State::Complete);
    EXPECT_EQ(Read(Head("Origin: http://127.0.0.1:8632\r\nSec-Fetch-Site: same-origin\r\n")).state,
              State::Complete);
}

TEST(RequestReader, AsksForTheBodyOnlyAfterTheHeadPassed) {
    RequestReader r(100, Local());
    const std::string head = Head("Expect: 100-continue\r\nContent-Length: 3\r\n");
    ASSERT_EQ(r.Feed(head.data(), head.size()), State::NeedMore);
    EXPECT_TRUE(r.TakeContinue());
    EXPECT_FALSE(r.TakeContinue()) << "once";
    RequestReader refused(2, Local());
    refused.Feed(head.data(), head.size());
    EXPECT_FALSE(refused.TakeContinue()) << "a body over the limit is not asked for";
}

TEST(HostPolicy, AnswersForItsOwnAddressAndNames) {
    const HostPolicy loopback = Local();
    const struct {
        std::string host;
        bool allowed;
    } cases[] = {
        {"127.0.0.1:8632", true},
        {"localhost:8632", true},
        {"LOCALHOST:8632", true},
        {"print.example.test", true},
        {"print.example.test:443", true},
        {"127.0.0.1", false},  // port 80 is not ours
        {"127.0.0.2:8632", false},
        {"evil.example:8632", false},
        {"localhost.evil:8632", false},
        {"", false},
        {":8632", false},
    };
    for (const auto& c : cases) EXPECT_EQ(loopback.Allows(c.host), c.allowed) << c.host;
    const HostPolicy lan{"192.168.1.5", 8632, {}};
    EXPECT_TRUE(lan.Allows("192.168.1.5:8632"));
    EXPECT_FALSE(lan.Allows("localhost:8632")) << "localhost is ours only on loopback";
    const HostPolicy six{"::1", 8632, {}};
    EXPECT_TRUE(six.Allows("[::1]:8632"));
}

}  // namespace
