// Timings of the mail component: a mail check's session calls on a large mailbox, and parsing.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "platform/mail/CurlMailSession.h"
#include "platform/mail/GMimeMailMessage.h"
#include "tests/support/Dovecot.h"

namespace {
using namespace vellora::mail;

constexpr int kMailbox = 10000;
constexpr int kNew = 10;

std::string Message(int n) {
    return "From: Sender <sender@example.org>\r\nTo: box@example.org\r\nSubject: message " +
           std::to_string(n) + "\r\nMessage-ID: <" + std::to_string(n) +
           "@example.org>\r\n\r\nBody of message " + std::to_string(n) + "\r\n";
}

struct World {
    vtest::Dovecot dovecot;
    vtest::TempDir dir;
    int next = 0;
    World() {
        dovecot.AddUser("bench", "secret");
        for (int i = 0; i < kMailbox; ++i) dovecot.AddMessage("bench", Message(++next));
    }
    CurlMailConfig Config() const {
        CurlMailConfig c;
        c.uidlMapPath = dir / "ids.dat";
        return c;
    }
};

World& TheWorld() {
    static World world;
    return world;
}

// The session calls of one mail check that finds kNew new messages (see the mail check: the
// newest id, then down to the last processed one, then up through the new ones).
void Check(CurlMailSession& s, long lastId) {
    if (s.Login("127.0.0.1", "bench", "secret") != kOk) throw std::runtime_error(s.LastError());
    const int n = s.MessageCount();
    int boundary = 0;
    for (int k = n; k >= 1; --k) {
        if (std::stol(s.MessageId(k)) <= lastId) {
            boundary = k;
            break;
        }
    }
    for (int k = boundary + 1; k <= n; ++k) s.MessageId(k);
    if (n - boundary != kNew) throw std::runtime_error("unexpected number of new messages");
    s.Close();
}

void BM_Check(benchmark::State& state) {
    World& w = TheWorld();
    const bool imap = state.range(0) == 1;
    const bool indexed = state.range(1) == 1;
    CurlMailSession s(w.Config());
    s.SetImap(imap);
    s.SetPort(imap ? w.dovecot.imapPort() : w.dovecot.pop3Port());
    // First contact: every message gets its id (and, for POP3, its place in the id map).
    if (s.Login("127.0.0.1", "bench", "secret") != kOk) throw std::runtime_error(s.LastError());
    const int n = s.MessageCount();
    const std::string newest = s.MessageId(n);
    if (newest.empty())
        throw std::runtime_error("no id for " + std::to_string(n) + ": " + s.LastError());
    long lastId = std::stol(newest);
    s.Close();
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kNew; ++i) w.dovecot.AddMessage("bench", Message(++w.next));
        if (indexed) w.dovecot.Index("bench");
        state.ResumeTiming();
        Check(s, lastId);
        lastId += kNew;
    }
}
// imap: 1 IMAP, 0 POP3. indexed: 1 when the server indexed the new messages at delivery, as
// with its own delivery agent; 0 when they lie unindexed in new/ and the session's first
// command makes the server take them up.
BENCHMARK(BM_Check)
    ->ArgsProduct({{1, 0}, {1, 0}})
    ->ArgNames({"imap", "indexed"})
    ->Iterations(1)
    ->Repetitions(21)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

std::string BigMessage() {
    std::string b64;
    std::mt19937 random(1);
    static const char* abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    while (b64.size() < (5u << 20)) {
        for (int i = 0; i < 76; ++i) b64 += abc[random() % 64];
        b64 += "\r\n";
    }
    return "From: Anna <anna@example.org>\r\nTo: Bob <bob@example.org>\r\nSubject: "
           "=?UTF-8?Q?Gro=C3=9Fe_Datei?=\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; "
           "boundary=\"m\"\r\n\r\n--m\r\nContent-Type: multipart/alternative; "
           "boundary=\"a\"\r\n\r\n--a\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nSee "
           "the file.\r\n--a\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<p>See the "
           "file.</p>\r\n--a--\r\n--m\r\nContent-Type: application/pdf; "
           "name=\"big.pdf\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
           b64 + "--m--\r\n";
}

void BM_Parse(benchmark::State& state) {
    const std::string raw = BigMessage();
    GMimeMailMessage m;
    for (auto _ : state) {
        m.Parse(raw);
        benchmark::DoNotOptimize(m.AttachmentCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * raw.size()));
}
BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond);

void BM_ParseAndSave(benchmark::State& state) {
    const std::string raw = BigMessage();
    vtest::TempDir dir;
    GMimeMailMessage m;
    for (auto _ : state) {
        m.Parse(raw);
        if (m.SaveAttachment(dir / "big.pdf", 1) != 0) throw std::runtime_error("save failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * raw.size()));
}
BENCHMARK(BM_ParseAndSave)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
