// The notification service against a real SMTP server (aiosmtpd) on 127.0.0.1.
#include <gtest/gtest.h>

#include "platform/http/Http.h"
#include "services/notifyd/NotifyProtocol.h"
#include "tests/support/Services.h"
#include "tests/support/Smtp.h"

namespace {
using namespace std::chrono_literals;
using vellora::http::Get;
using vellora::notify::RequestUrl;

vtest::NotifyService::Options Relay(const vtest::SmtpServer& smtp) {
    vtest::NotifyService::Options o;
    o.smtpUrl = smtp.url();
    return o;
}

vellora::http::Response Notify(const vtest::NotifyService& svc, const std::string& kind,
                               const std::string& subject, const std::string& body,
                               const std::string& to) {
    return Get(RequestUrl(svc.url(), kind, subject, body, to), 20s);
}

TEST(Notifyd, DeliversOneMailWithEveryCharacterIntact) {
    vtest::SmtpServer smtp;
    vtest::NotifyService svc(Relay(smtp));
    const std::string subject =
        "Job 12 & #3 failed: Gr\xC3\xB6\xC3\x9F"
        "e 100% =?x?= \xE2\x82\xAC";
    const std::string body =
        "Line one & two # three\nTabs\there, blanks  two\n"
        "\xC3\x84\xC3\x96\xC3\x9C \xE6\x97\xA5\xE6\x9C\xAC\n.\nend";
    const std::string to = "ops.team+print@example.test";
    const auto r = Notify(svc, "error", subject, body, to);
    ASSERT_EQ(r.status, 200) << r.body << r.error;
    EXPECT_EQ(r.body.substr(0, 4), "SENT");
    const auto m = smtp.waitForMessage();
    ASSERT_TRUE(m);
    EXPECT_EQ(m->recipients, std::vector<std::string>{to});
    EXPECT_EQ(m->mailFrom, "vellora@localhost");
    EXPECT_EQ(m->subject, subject);
    EXPECT_EQ(m->body, body);
    EXPECT_EQ(m->kind, "error");
    // The line is written once the answer is out, so it may come a moment after it.
    EXPECT_TRUE(vtest::WaitFor([&] { return svc.log().find(to) != std::string::npos; }, 5s))
        << "one log line per request";
}

TEST(Notifyd, LongUtf8SubjectIsFoldedAndSurvives) {
    vtest::SmtpServer smtp;
    vtest::NotifyService svc(Relay(smtp));
    std::string subject;
    for (int i = 0; i < 40; ++i) subject += "\xC3\xA9t\xC3\xA9 ";
    subject += "fin";
    ASSERT_EQ(Notify(svc, "ok", subject, "b", "a@example.test").status, 200);
    const auto m = smtp.waitForMessage();
    ASSERT_TRUE(m);
    EXPECT_EQ(m->subject, subject);
    for (std::size_t pos = 0, next; pos < m->raw.size(); pos = next + 2) {
        next = m->raw.find("\r\n", pos);
        if (next == std::string::npos) break;
        EXPECT_LE(next - pos, 78u) << "header or body line too long";
    }
}

TEST(Notifyd, RefusesHeaderInjectionAndOddRecipients) {
    vtest::SmtpServer smtp;
    vtest::NotifyService svc(Relay(smtp));
    const struct {
        std::string kind, subject, to;
    } bad[] = {
        {"error", "Hello\r\nBcc: victim@example.test", "a@example.test"},
        {"error", "Hello\nBcc: victim@example.test", "a@example.test"},
        {"err\r\nBcc: victim@example.test", "Hello", "a@example.test"},
        {"error", "Hello", "a@example.test\r\nBcc: victim@example.test"},
        {"error", "Hello", "a@example.test, victim@example.test"},
        {"error", "Hello", "Someone <a@example.test>"},
        {"error", "Hello", "a@example.test>"},
        {"error", "Hello", "no-at-sign"},
        {"error", "Hello", "a@"},
        {"error", "Hello", "a@-bad-.test"},
        {"error", "Hello", ""},
        {"error", "Bad \xC3 byte", "a@example.test"},
    };
    for (const auto& b : bad) {
        const auto r = Notify(svc, b.kind, b.subject, "body", b.to);
        EXPECT_EQ(r.status, 400) << b.subject << " / " << b.to;
        EXPECT_EQ(r.body.substr(0, 5), "ERROR") << r.body;
    }
    // A line break in the body is only text, never a header.
    ASSERT_EQ(Notify(svc, "ok", "fine", "x\r\nBcc: victim@example.test", "a@example.test").status,
              200);
    ASSERT_TRUE(smtp.waitForMessages(1));
    const auto all = smtp.messages();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].recipients, std::vector<std::string>{"a@example.test"});
    EXPECT_EQ(all[0].raw.find("Bcc:"), std::string::npos);
}

TEST(Notifyd, MissingValueOrUnknownPathIsAnErrorText) {
    vtest::SmtpServer smtp;
    vtest::NotifyService svc(Relay(smtp));
    auto r = Get(svc.url() + "/notify?kind=a&subject=b&body=c", 10s);
    EXPECT_EQ(r.status, 400);
    EXPECT_NE(r.body.find("to"), std::string::npos) << r.body;
    r = Get(svc.url() + "/elsewhere", 10s);
    EXPECT_EQ(r.status, 404);
    EXPECT_EQ(r.body.substr(0, 5), "ERROR");
    EXPECT_EQ(smtp.count(), 0u);
}

TEST(Notifyd, FailedSendGivesAnErrorTextWithTheRelaysReason) {
    vtest::SmtpServer::Options so;
    so.rejectDomain = "nowhere.test";
    vtest::SmtpServer smtp(so);
    auto allowed = Relay(smtp);
    allowed.allow += " @nowhere.test";
    vtest::NotifyService svc(allowed);
    auto r = Notify(svc, "error", "s", "b", "someone@nowhere.test");
    EXPECT_EQ(r.status, 502);
    EXPECT_EQ(r.body.substr(0, 5), "ERROR") << r.body;
    EXPECT_NE(r.body.find("550"), std::string::npos) << r.body;
    EXPECT_EQ(smtp.count(), 0u);

    vtest::NotifyService::Options o;
    o.smtpUrl = "smtp://127.0.0.1:" + std::to_string(vtest::FreeTcpPort());  // nobody there
    vtest::NotifyService lonely(o);
    r = Notify(lonely, "error", "s", "b", "a@example.test");
    EXPECT_EQ(r.status, 502);
    EXPECT_NE(r.body.substr(0, 4), "SENT");
}

TEST(Notifyd, LogsInWithItsCredentials) {
    vtest::SmtpServer::Options so;
    so.user = "relayuser";
    so.password = "p@ss w&rd";
    vtest::SmtpServer smtp(so);
    auto o = Relay(smtp);
    o.user = "relayuser";
    o.password = "p@ss w&rd";
    vtest::NotifyService good(o);
    EXPECT_EQ(Notify(good, "ok", "s", "b", "a@example.test").body.substr(0, 4), "SENT");
    o.password = "wrong";
    vtest::NotifyService bad(o);
    EXPECT_EQ(Notify(bad, "ok", "s", "b", "a@example.test").body.substr(0, 5), "ERROR");
    EXPECT_TRUE(smtp.waitForMessages(1));
    EXPECT_EQ(smtp.count(), 1u);
}

TEST(Notifyd, SendsOnlyToAllowedRecipientsWhenTheyAreNamed) {
    vtest::SmtpServer smtp;
    auto o = Relay(smtp);
    o.extraArgs = {"--allow", "@example.test"};
    vtest::NotifyService svc(o);
    EXPECT_EQ(Notify(svc, "ok", "s", "b", "desk@example.test").body.substr(0, 4), "SENT");
    const auto r = Notify(svc, "ok", "s", "b", "victim@elsewhere.test");
    EXPECT_EQ(r.status, 403);
    EXPECT_EQ(r.body.substr(0, 5), "ERROR");
    ASSERT_TRUE(smtp.waitForMessages(1));
    EXPECT_EQ(smtp.count(), 1u);
}

// Without an allow-list the service sends to the owner alone; with neither it sends to nobody
// and says so when it starts.
TEST(Notifyd, WithoutAnAllowListOnlyTheOwnerIsNotified) {
    vtest::SmtpServer smtp;
    auto o = Relay(smtp);
    o.allow = "";
    o.owner = "Boss@Example.test";
    vtest::NotifyService svc(o);
    EXPECT_EQ(Notify(svc, "ok", "s", "b", "boss@example.test").body.substr(0, 4), "SENT");
    EXPECT_EQ(Notify(svc, "ok", "s", "b", "desk@example.test").status, 403);
    o.owner = "";
    vtest::NotifyService nobody(o);
    EXPECT_EQ(Notify(nobody, "ok", "s", "b", "boss@example.test").status, 403);
    EXPECT_NE(nobody.log().find("every notification will be refused"), std::string::npos)
        << nobody.log();
    ASSERT_TRUE(smtp.waitForMessages(1));
    EXPECT_EQ(smtp.count(), 1u);
    EXPECT_EQ(smtp.messages()[0].recipients, std::vector<std::string>{"boss@example.test"});
}

TEST(Notifyd, RateLimitRefusesMailsBeyondItsShareOfTheMinute) {
    vtest::SmtpServer smtp;
    auto o = Relay(smtp);
    o.mailsPerMinute = 2;
    vtest::NotifyService svc(o);
    EXPECT_EQ(Notify(svc, "ok", "1", "b", "a@example.test").status, 200);
    EXPECT_EQ(Notify(svc, "ok", "2", "b", "a@example.test").status, 200);
    const auto third = Notify(svc, "ok", "3", "b", "a@example.test");
    EXPECT_EQ(third.status, 429);
    EXPECT_EQ(third.body.substr(0, 5), "ERROR") << third.body;
    // Refused requests do not use up the minute: a bad one is still told what is wrong.
    EXPECT_EQ(Notify(svc, "ok", "4", "b", "victim@elsewhere.test").status, 403);
    ASSERT_TRUE(smtp.waitForMessages(2));
    EXPECT_EQ(smtp.count(), 2u);
}

TEST(Notifyd, PasswordIsNeverTakenFromTheCommandLine) {
    std::string out;
    const int rc = vtest::Run({vtest::BinDir() + "/vellora-notifyd", "--port",
                               std::to_string(vtest::FreeTcpPort()), "--password", "secret"},
                              &out, 10s);
    EXPECT_EQ(rc, 2);
    EXPECT_NE(out.find("--password-file"), std::string::npos) << out;
    // In the configuration file it is taken (that file is the user's own, mode 0600).
    vtest::SmtpServer::Options so;
    so.user = "relayuser";
    so.password = "from-the-file";
    vtest::SmtpServer smtp(so);
    vtest::TempDir dir("notifyd-conf");
    vtest::WriteFile(dir / "notifyd.conf", "user = relayuser\npassword = from-the-file\n");
    auto o = Relay(smtp);
    o.extraArgs = {"--config", dir / "notifyd.conf"};
    vtest::NotifyService svc(o);
    EXPECT_EQ(Notify(svc, "ok", "s", "b", "a@example.test").body.substr(0, 4), "SENT");
}

TEST(Notifyd, StartTlsVerifiesTheRelaysCertificate) {
    vtest::TempDir dir;
    ASSERT_EQ(
        vtest::Run({"/usr/bin/openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                    dir / "key.pem", "-out", dir / "cert.pem", "-days", "2", "-subj",
                    "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1"}),
        0);
    vtest::SmtpServer::Options so;
    so.certFile = dir / "cert.pem";
    so.keyFile = dir / "key.pem";
    vtest::SmtpServer smtp(so);
    auto o = Relay(smtp);
    o.tls = "starttls";
    o.extraArgs = {"--ca-file", dir / "cert.pem"};
    vtest::NotifyService trusting(o);
    auto r = Notify(trusting, "ok", "over TLS", "b", "a@example.test");
    EXPECT_EQ(r.body.substr(0, 4), "SENT") << r.body;
    o.extraArgs.clear();  // the system's store does not know the test certificate
    vtest::NotifyService doubting(o);
    r = Notify(doubting, "ok", "over TLS", "b", "a@example.test");
    EXPECT_EQ(r.body.substr(0, 5), "ERROR") << r.body;
    o.tls = "none";  // the relay requires STARTTLS; plain text is refused
    vtest::NotifyService plain(o);
    r = Notify(plain, "ok", "plain", "b", "a@example.test");
    EXPECT_EQ(r.body.substr(0, 5), "ERROR") << r.body;
    EXPECT_TRUE(smtp.waitForMessages(1));
    EXPECT_EQ(smtp.count(), 1u);
    EXPECT_EQ(smtp.messages()[0].subject, "over TLS");
}

TEST(Notifyd, KeepsAnsweringThroughAFloodOfBadRequests) {
    vtest::SmtpServer smtp;
    vtest::NotifyService svc(Relay(smtp));
    int answered = 0;
    for (int i = 0; i < 300; ++i) {
        std::string url;
        switch (i % 3) {
            case 0:
                url = svc.url() + "/notify?kind=x";
                break;
            case 1:
                url = RequestUrl(svc.url(), "x", "s\r\nX: y", "b", "a@example.test");
                break;
            default:
                url = svc.url() + "/notify?" + std::string(9000, 'a');
                break;
        }
        const auto r = Get(url, 5s);
        answered += r.status >= 400 && r.status < 500;
    }
    EXPECT_EQ(answered, 300);
    EXPECT_TRUE(svc.running());
    EXPECT_EQ(Notify(svc, "ok", "after", "b", "a@example.test").body.substr(0, 4), "SENT");
    EXPECT_TRUE(smtp.waitForMessages(1));
}

}  // namespace
