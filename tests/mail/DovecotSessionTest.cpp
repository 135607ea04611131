// The real sessions against a private Dovecot: both protocols, plain and TLS.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/mail/CurlMailSession.h"
#include "tests/support/Dovecot.h"

namespace {
using namespace vellora::mail;

enum class Security { kPlain, kImplicitTls, kStartTls };

struct Mode {
    bool imap;
    Security security;
};

std::string Name(const testing::TestParamInfo<Mode>& info) {
    std::string s = info.param.imap ? "Imap" : "Pop3";
    switch (info.param.security) {
        case Security::kPlain:
            return s + "Plain";
        case Security::kImplicitTls:
            return s + "Tls";
        case Security::kStartTls:
            return s + "StartTls";
    }
    return s;
}

std::string Message(const std::string& subject, const std::string& body = "Hello\r\n") {
    return "From: Sender <sender@example.org>\r\nTo: anna@example.org\r\nSubject: " + subject +
           "\r\nMessage-ID: <" + subject + "@example.org>\r\n\r\n" + body;
}

// Another mail client on the same mailbox: one command over libcurl, its untagged answer back.
std::string OtherClient(const std::string& url, const std::string& user, const std::string& pass,
                        const std::vector<std::string>& commands, bool nobody) {
    CURL* h = curl_easy_init();
    std::string out;
    curl_easy_setopt(h, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, pass.c_str());
    curl_easy_setopt(h, CURLOPT_TIMEOUT, 20L);
    curl_easy_setopt(h, CURLOPT_NOBODY, nobody ? 1L : 0L);
    curl_easy_setopt(
        h, CURLOPT_WRITEFUNCTION, +[](char* d, size_t s, size_t n, void* u) {
            static_cast<std::string*>(u)->append(d, s * n);
            return s * n;
        });
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &out);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    for (const auto& c : commands) {
        curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, c.c_str());
        EXPECT_EQ(curl_easy_perform(h), CURLE_OK) << c;
    }
    curl_easy_cleanup(h);  // QUIT: a POP3 server deletes now
    return out;
}

class DovecotSession : public testing::TestWithParam<Mode> {
  protected:
    static void SetUpTestSuite() { dovecot_ = new vtest::Dovecot(); }
    static void TearDownTestSuite() {
        delete dovecot_;
        dovecot_ = nullptr;
    }

    void SetUp() override {
        static int n = 0;
        user_ = "user" + std::to_string(++n);
        dovecot_->AddUser(user_, "secret");
        setenv("VELLORA_CA_FILE", dovecot_->caFile().c_str(), 1);
        config_.uidlMapPath = dir_ / "ids.dat";
        config_.limits.operationTimeout = std::chrono::seconds(20);
        if (GetParam().security == Security::kStartTls) {
            config_.popStartTlsPort = dovecot_->pop3Port();
            config_.imapStartTlsPort = dovecot_->imapPort();
        }
    }
    void TearDown() override { unsetenv("VELLORA_CA_FILE"); }

    int Port() const {
        const bool tls = GetParam().security == Security::kImplicitTls;
        if (GetParam().imap) {
            return tls ? dovecot_->imapsPort() : dovecot_->imapPort();
        }
        return tls ? dovecot_->pop3sPort() : dovecot_->pop3Port();
    }

    std::unique_ptr<CurlMailSession> Session() {
        auto s = std::make_unique<CurlMailSession>(config_);
        s->Reset();
        s->SetImap(GetParam().imap);
        s->SetPort(Port());
        if (GetParam().security != Security::kPlain) {
            EXPECT_EQ(s->InitSsl(), kOk);
        }
        return s;
    }

    std::int32_t Login(CurlMailSession& s, const std::string& password = "secret") {
        return s.Login("localhost", user_, password);
    }

    std::string ImapUrl() const {
        return "imap://127.0.0.1:" + std::to_string(dovecot_->imapPort()) + "/INBOX";
    }

    static vtest::Dovecot* dovecot_;
    vtest::TempDir dir_;
    CurlMailConfig config_;
    std::string user_;
};
vtest::Dovecot* DovecotSession::dovecot_ = nullptr;

TEST_P(DovecotSession, LoginCodesTellTheFailuresApart) {
    auto s = Session();
    EXPECT_EQ(Login(*s), kOk) << s->LastError();
    s->Close();
    EXPECT_EQ(s->LoginEncrypted("localhost", user_, "secret"), kOk) << s->LastError();
    EXPECT_EQ(s->LoginEncrypted("localhost", user_, "wrong"), kLoginRefused) << s->LastError();
    EXPECT_EQ(Login(*s, "wrong"), kLoginRefused) << s->LastError();
    EXPECT_EQ(s->MessageCount(), -1);  // no login, no mailbox

    if (GetParam().security != Security::kPlain) {
        unsetenv("VELLORA_CA_FILE");  // the system store does not know our test authority
        auto untrusted = Session();
        EXPECT_EQ(Login(*untrusted), kTlsFailed) << untrusted->LastError();
    }
    auto nowhere = Session();
    nowhere->SetPort(vtest::FreeTcpPort());
    EXPECT_EQ(Login(*nowhere), kUnreachable) << nowhere->LastError();
}

TEST_P(DovecotSession, CountsIdsAndRetrievesMessages) {
    for (const char* subject : {"first", "second", "third"}) {
        dovecot_->AddMessage(user_, Message(subject));
    }
    auto s = Session();
    ASSERT_EQ(Login(*s), kOk) << s->LastError();
    ASSERT_EQ(s->MessageCount(), 3);
    EXPECT_EQ(s->MessageId(3), "3");
    EXPECT_EQ(s->MessageId(2), "2");
    EXPECT_EQ(s->MessageId(1), "1");
    EXPECT_EQ(s->MessageId(4), "");
    EXPECT_EQ(s->MessageId(0), "");
    const std::string raw = s->Retrieve(2);
    EXPECT_NE(raw.find("Subject: second"), std::string::npos) << raw;
    EXPECT_NE(raw.find("Hello"), std::string::npos);
    EXPECT_EQ(s->Retrieve(4), "");
    s->Close();
    EXPECT_EQ(s->Retrieve(1), "");
}

TEST_P(DovecotSession, RetrievesDotLinesAndLargeMessagesWhole) {
    std::string body = ".leading dot\r\n..two dots\r\n";
    for (int i = 0; i < 20000; ++i) body += "line " + std::to_string(i) + " of a long message\r\n";
    dovecot_->AddMessage(user_, Message("big", body));
    auto s = Session();
    ASSERT_EQ(Login(*s), kOk) << s->LastError();
    const std::string raw = s->Retrieve(1);
    EXPECT_NE(raw.find("\r\n.leading dot\r\n..two dots\r\n"), std::string::npos);
    EXPECT_NE(raw.find("line 19999 of a long message"), std::string::npos);
    EXPECT_GT(raw.size(), body.size());
}

TEST_P(DovecotSession, SeesAMessageAddedWhileConnected) {
    dovecot_->AddMessage(user_, Message("old"));
    auto s = Session();
    ASSERT_EQ(Login(*s), kOk) << s->LastError();
    ASSERT_EQ(s->MessageCount(), 1);
    EXPECT_EQ(s->MessageId(1), "1");
    dovecot_->AddMessage(user_, Message("arrived"));
    if (GetParam().imap) {
        // IMAP shows the mailbox as it is now.
        ASSERT_EQ(s->MessageCount(), 2);
        EXPECT_EQ(s->MessageId(2), "2");
        EXPECT_NE(s->Retrieve(2).find("Subject: arrived"), std::string::npos);
    } else {
        // A POP3 session keeps the mailbox as it was at login; the next session has it.
        EXPECT_EQ(s->MessageCount(), 1);
        EXPECT_EQ(s->MessageId(2), "");
    }
    s->Close();
    ASSERT_EQ(Login(*s), kOk);
    ASSERT_EQ(s->MessageCount(), 2);
    EXPECT_EQ(s->MessageId(2), "2");
    EXPECT_NE(s->Retrieve(2).find("Subject: arrived"), std::string::npos);
}

TEST_P(DovecotSession, IdsStayWhenAnotherClientDeletesOlderMessages) {
    for (int i = 1; i <= 4; ++i) dovecot_->AddMessage(user_, Message("m" + std::to_string(i)));
    auto s = Session();
    ASSERT_EQ(Login(*s), kOk);
    ASSERT_EQ(s->MessageCount(), 4);
    EXPECT_EQ(s->MessageId(4), "4");
    s->Close();

    if (GetParam().imap) {
        OtherClient(ImapUrl(), user_, "secret", {"STORE 1:2 +FLAGS.SILENT (\\Deleted)", "EXPUNGE"},
                    false);
    } else {
        OtherClient("pop3://127.0.0.1:" + std::to_string(dovecot_->pop3Port()) + "/", user_,
                    "secret", {"DELE 1", "DELE 2"}, true);
    }
    ASSERT_EQ(dovecot_->MessageFiles(user_), 2);
    dovecot_->AddMessage(user_, Message("m5"));

    ASSERT_EQ(Login(*s), kOk);
    ASSERT_EQ(s->MessageCount(), 3);
    EXPECT_EQ(s->MessageId(1), "3");
    EXPECT_EQ(s->MessageId(2), "4");
    EXPECT_EQ(s->MessageId(3), "5");
    EXPECT_NE(s->Retrieve(1).find("Subject: m3"), std::string::npos);
}

TEST_P(DovecotSession, RetrieveLeavesTheSeenFlagAsItWas) {
    if (!GetParam().imap) GTEST_SKIP() << "POP3 has no flags";
    dovecot_->AddMessage(user_, Message("unseen"));
    dovecot_->AddMessage(user_, Message("seen"));
    OtherClient(ImapUrl(), user_, "secret", {"STORE 2 +FLAGS.SILENT (\\Seen)"}, false);
    auto s = Session();
    ASSERT_EQ(Login(*s), kOk);
    ASSERT_EQ(s->MessageCount(), 2);
    EXPECT_NE(s->Retrieve(1).find("Subject: unseen"), std::string::npos);
    EXPECT_NE(s->Retrieve(2).find("Subject: seen"), std::string::npos);
    s->Close();
    const std::string flags = OtherClient(ImapUrl(), user_, "secret", {"FETCH 1:2 (FLAGS)"}, false);
    const auto first = flags.find("* 1 FETCH"), second = flags.find("* 2 FETCH");
    ASSERT_NE(first, std::string::npos) << flags;
    ASSERT_NE(second, std::string::npos) << flags;
    const std::string one = flags.substr(first, flags.find('\n', first) - first);
    const std::string two = flags.substr(second, flags.find('\n', second) - second);
    EXPECT_EQ(one.find("\\Seen"), std::string::npos) << one;
    EXPECT_NE(two.find("\\Seen"), std::string::npos) << two;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DovecotSession,
    testing::Values(Mode{true, Security::kPlain}, Mode{true, Security::kImplicitTls},
                    Mode{true, Security::kStartTls}, Mode{false, Security::kPlain},
                    Mode{false, Security::kImplicitTls}, Mode{false, Security::kStartTls}),
    Name);

}  // namespace
