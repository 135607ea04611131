// Servers that misbehave (hang up mid-message, send garbage, stall) and an NTLM server that
// checks the exchange. The session must answer with an empty Retrieve or a non-zero code, within
// its time-outs, and never hang or crash.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

#include "platform/mail/CurlMailSession.h"
#include "tests/mail/Ntlm.h"
#include "tests/mail/ScriptedServer.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora::mail;
using vtest::ImapHandler;
using vtest::ScriptedConnection;
using vtest::ScriptedServer;
using Clock = std::chrono::steady_clock;
using Handler = std::function<bool(ScriptedConnection&, const std::string&)>;  // false: hang up

const std::string kMessage = "From: a@example.org\r\nSubject: whole\r\n\r\nAll of it.\r\n";

// The login part of a POP3 conversation, then every command goes to `after`.
void Pop3(ScriptedConnection& c, const Handler& after) {
    c.Send("+OK ready\r\n");
    std::string line;
    while (c.ReadLine(line)) {
        if (line == "CAPA") {
            c.Send("+OK\r\nSASL PLAIN\r\nUIDL\r\n.\r\n");
        } else if (line.rfind("AUTH PLAIN", 0) == 0) {
            if (line == "AUTH PLAIN") {
                c.Send("+ \r\n");
                if (!c.ReadLine(line)) return;
            }
            c.Send("+OK logged in\r\n");
        } else if (line == "QUIT") {
            c.Send("+OK bye\r\n");
            return;
        } else if (!after(c, line)) {
            return;
        }
    }
}

// A well-behaved answer to the usual commands of a session with one message.
bool Pop3Normal(ScriptedConnection& c, const std::string& line) {
    if (line == "STAT") {
        c.Send("+OK 1 " + std::to_string(kMessage.size()) + "\r\n");
    } else if (line == "UIDL") {
        c.Send("+OK\r\n1 abc\r\n.\r\n");
    } else if (line == "RETR 1") {
        c.Send("+OK\r\n" + kMessage + ".\r\n");
    } else if (line == "NOOP") {
        c.Send("+OK\r\n");
    } else {
        c.Send("-ERR unknown\r\n");
    }
    return true;
}

class BadServer : public testing::Test {
  protected:
    void SetUp() override {
        config_.uidlMapPath = dir_ / "ids.dat";
        config_.limits.connectTimeout = std::chrono::seconds(2);
        config_.limits.stallTimeout = std::chrono::seconds(1);
        config_.limits.operationTimeout = std::chrono::seconds(3);
    }
    std::unique_ptr<CurlMailSession> Session(const ScriptedServer& server, bool imap) {
        auto s = std::make_unique<CurlMailSession>(config_);
        s->SetImap(imap);
        s->SetPort(server.port());
        return s;
    }
    static double Seconds(Clock::time_point since) {
        return std::chrono::duration<double>(Clock::now() - since).count();
    }

    vtest::TempDir dir_;
    CurlMailConfig config_;
};

TEST_F(BadServer, ScriptedPop3ServerWorksWhenItBehaves) {
    ScriptedServer server([](ScriptedConnection& c) { Pop3(c, Pop3Normal); });
    auto s = Session(server, false);
    ASSERT_EQ(s->Login("127.0.0.1", "anna", "pw"), kOk) << s->LastError();
    EXPECT_EQ(s->MessageCount(), 1);
    EXPECT_EQ(s->MessageId(1), "1");
    EXPECT_EQ(s->Retrieve(1), kMessage);
}

TEST_F(BadServer, Pop3HangUpMidMessageGivesAnEmptyRetrieve) {
    ScriptedServer server([](ScriptedConnection& c) {
        Pop3(c, [](ScriptedConnection& c, const std::string& line) {
            if (line != "RETR 1") return Pop3Normal(c, line);
            c.Send("+OK\r\n" + kMessage.substr(0, 20));
            return false;
        });
    });
    auto s = Session(server, false);
    ASSERT_EQ(s->Login("127.0.0.1", "anna", "pw"), kOk);
    const auto start = Clock::now();
    EXPECT_EQ(s->Retrieve(1), "");
    EXPECT_LT(Seconds(start), 3.0);
    EXPECT_NE(s->LastError(), "");
}

TEST_F(BadServer, Pop3StallMidMessageEndsWithinTheTimeOut) {
    ScriptedServer server([](ScriptedConnection& c) {
        Pop3(c, [](ScriptedConnection& c, const std::string& line) {
            if (line != "RETR 1") return Pop3Normal(c, line);
            c.Send("+OK\r\n" + kMessage.substr(0, 20));
            c.Stall();
            return false;
        });
    });
    auto s = Session(server, false);
    ASSERT_EQ(s->Login("127.0.0.1", "anna", "pw"), kOk);
    const auto start = Clock::now();
    EXPECT_EQ(s->Retrieve(1), "");
    EXPECT_LT(Seconds(start), 5.0);
    s->Close();
    EXPECT_LT(Seconds(start), 6.0);
}

TEST_F(BadServer, StalledGreetingTimesOut) {
    for (bool imap : {false, true}) {
        ScriptedServer server([](ScriptedConnection& c) { c.Stall(); });
        auto s = Session(server, imap);
        const auto start = Clock::now();
        EXPECT_EQ(s->Login("127.0.0.1", "anna", "pw"), kTimedOut) << s->LastError();
        EXPECT_LT(Seconds(start), 5.0);
    }
}

TEST_F(BadServer, GarbageGivesANonZeroCode) {
    const std::vector<std::string> greetings = {"\x01\x02\xff garbage\r\n", "HELLO THERE\r\n",
                                                std::string(100000, 'x') + "\r\n"};
    for (bool imap : {false, true}) {
        for (const auto& greeting : greetings) {
            ScriptedServer server([&](ScriptedConnection& c) {
                c.Send(greeting);
                std::string line;
                while (c.ReadLine(line, std::chrono::seconds(2))) c.Send("what?\r\n");
            });
            auto s = Session(server, imap);
            const auto start = Clock::now();
            EXPECT_NE(s->Login("127.0.0.1", "anna", "pw"), kOk);
            EXPECT_LT(Seconds(start), 5.0);
        }
    }
}

TEST_F(BadServer, Pop3NonsenseCountsAndListingsAreRefused) {
    int sessions = 0;
    ScriptedServer server([&](ScriptedConnection& c) {
        ++sessions;
        Pop3(c, [&](ScriptedConnection& c, const std::string& line) {
            if (line == "STAT")
                c.Send(sessions == 1 ? "+OK lots\r\n" : "+OK 2 10\r\n");
            else if (line == "UIDL")
                c.Send("+OK\r\n2 only-the-second\r\n.\r\n");
            else
                return Pop3Normal(c, line);
            return true;
        });
    });
    auto s = Session(server, false);
    EXPECT_EQ(s->Login("127.0.0.1", "anna", "pw"), kProtocolError);
    ASSERT_EQ(s->Login("127.0.0.1", "anna", "pw"), kOk);
    EXPECT_EQ(s->MessageCount(), 2);
    EXPECT_EQ(s->MessageId(2), "");  // a listing with holes gives no ids at all
}

TEST_F(BadServer, Pop3RefusesAMessageBeyondTheSizeLimit) {
    config_.limits.maxBodyBytes = 1000;
    ScriptedServer server([](ScriptedConnection& c) {
        Pop3(c, [](ScriptedConnection& c, const std::string& line) {
            if (line != "RETR 1") return Pop3Normal(c, line);
            c.Send("+OK\r\nSubject: big\r\n\r\n" + std::string(5000, 'a') + "\r\n.\r\n");
            return true;
        });
    });
    auto s = Session(server, false);
    ASSERT_EQ(s->Login("127.0.0.1", "anna", "pw"), kOk);
    EXPECT_EQ(s->Retrieve(1), "");
}

TEST_F(BadServer, ImapHangUpMidLiteralGivesAnEmptyRetrieve) {
    ScriptedServer server([](ScriptedConnection& c) {
        vtest::ScriptedImap(c, [](ScriptedConnection& c, const std::string&,
                                  const std::string& command, bool& stop) {
            if (command.find("BODY[]") == std::string::npos) return false;
            c.Send("* 1 FETCH (UID 7 BODY[] {1000}\r\n" + kMessage);
            stop = true;
            return true;
        });
    });
    auto s = Session(server, true);
    ASSERT_EQ(s->Login("127.0.0.1", "anna", "pw"), kOk) << s->LastError();
    EXPECT_EQ(s->MessageCount(), 1);
    EXPECT_EQ(s->MessageId(1), "7");
    const auto start = Clock::now();
    EXPECT_EQ(s->Retrieve(1), "");
    EXPECT_LT(Seconds(start), 3.0);
}

TEST_F(BadServer, ImapStallInSelectTimesOut) {
    ScriptedServer server([](ScriptedConnection& c) {
        vtest::ScriptedImap(c, [](ScriptedConnection& c, const std::string&,
                                  const std::string& command, bool& stop) {
            if (command != "SELECT INBOX") return false;
            c.Send("* 1 EXISTS\r\n");
            c.Stall();
            stop = true;
            return true;
        });
    });
    auto s = Session(server, true);
    const auto start = Clock::now();
    EXPECT_EQ(s->Login("127.0.0.1", "anna", "pw"), kTimedOut) << s->LastError();
    EXPECT_LT(Seconds(start), 5.0);
}

TEST_F(BadServer, ImapNonsenseUidsGiveNoId) {
    ScriptedServer server([](ScriptedConnection& c) {
        vtest::ScriptedImap(c, [](ScriptedConnection& c, const std::string& tag,
                                  const std::string& command, bool&) {
            if (command.rfind("FETCH 1:1", 0) != 0) return false;
            c.Send("* 1 FETCH (UID banana)\r\n" + tag + " OK done\r\n");
            return true;
        });
    });
    auto s = Session(server, true);
    ASSERT_EQ(s->Login("127.0.0.1", "anna", "pw"), kOk);
    EXPECT_EQ(s->MessageId(1), "");
    EXPECT_EQ(s->Retrieve(1), "");
}

// NTLM: the server gives its challenge and accepts only a type-3 answer that proves the password.
struct NtlmVerdict {
    std::atomic<bool> sawNegotiate{false}, accepted{false};
    std::string why;
};

void NtlmPop3(ScriptedConnection& c, NtlmVerdict& verdict) {
    const std::string challenge = "\x01\x23\x45\x67\x89\xab\xcd\xef";
    c.Send("+OK ready\r\n");
    std::string line;
    while (c.ReadLine(line)) {
        if (line == "CAPA") {
            c.Send("+OK\r\nSASL NTLM\r\n.\r\n");
        } else if (line.rfind("AUTH NTLM", 0) == 0) {
            std::string type1 = line.size() > 10 ? line.substr(10) : "";
            if (type1.empty()) {
                c.Send("+ \r\n");
                if (!c.ReadLine(type1)) return;
            }
            verdict.sawNegotiate = vtest::ntlm::IsNegotiate(vtest::ntlm::Base64Decode(type1));
            c.Send("+ " + vtest::ntlm::Base64Encode(vtest::ntlm::Challenge(challenge)) + "\r\n");
            std::string type3;
            if (!c.ReadLine(type3)) return;
            verdict.accepted = vtest::ntlm::Verify(vtest::ntlm::Base64Decode(type3), challenge,
                                                   "anna", "Secret1", &verdict.why);
            c.Send(verdict.accepted ? "+OK welcome\r\n" : "-ERR refused\r\n");
        } else if (line == "STAT") {
            c.Send("+OK 0 0\r\n");
        } else if (line == "QUIT") {
            c.Send("+OK\r\n");
            return;
        } else {
            c.Send("-ERR unknown\r\n");
        }
    }
}

TEST_F(BadServer, NtlmLoginCompletesTheExchange) {
    NtlmVerdict verdict;
    ScriptedServer server([&](ScriptedConnection& c) { NtlmPop3(c, verdict); });
    auto s = Session(server, false);
    s->SetNtlm(true);
    ASSERT_EQ(s->Login("127.0.0.1", "anna", "Secret1"), kOk) << s->LastError() << verdict.why;
    EXPECT_TRUE(verdict.sawNegotiate);
    EXPECT_TRUE(verdict.accepted) << verdict.why;
    EXPECT_EQ(s->MessageCount(), 0);
}

TEST_F(BadServer, NtlmWithAWrongPasswordIsRefused) {
    NtlmVerdict verdict;
    ScriptedServer server([&](ScriptedConnection& c) { NtlmPop3(c, verdict); });
    auto s = Session(server, false);
    s->SetNtlm(true);
    EXPECT_EQ(s->LoginEncrypted("127.0.0.1", "anna", "secret1"), kLoginRefused);
    EXPECT_TRUE(verdict.sawNegotiate);
    EXPECT_FALSE(verdict.accepted);
    EXPECT_EQ(verdict.why, "the response does not prove the password");
}

// The logins' fallbacks, each checked by a server that offers only that way in.
struct LoginServer {
    std::string greeting = "+OK ready\r\n", capa;
    std::atomic<bool> accepted{false};
    std::string seen;  // the login commands, in order
};

void LoginPop3(ScriptedConnection& c, LoginServer& ls) {
    const std::string challenge = "<12345.678@vtest>";
    c.Send(ls.greeting);
    std::string line;
    while (c.ReadLine(line)) {
        const auto reply = [&](bool ok) {
            ls.accepted = ok;
            c.Send(ok ? "+OK welcome\r\n" : "-ERR refused\r\n");
        };
        if (line == "CAPA") {
            c.Send("+OK\r\n" + ls.capa + ".\r\n");
        } else if (line == "STLS") {
            ls.seen += "STLS;";
            c.Send("-ERR not here\r\n");
        } else if (line == "AUTH CRAM-MD5") {
            ls.seen += "CRAM-MD5;";
            c.Send("+ " + vtest::ntlm::Base64Encode(challenge) + "\r\n");
            if (!c.ReadLine(line)) return;
            reply(vtest::ntlm::Base64Decode(line) ==
                  vtest::ntlm::CramMd5Answer("anna", "pw", challenge));
        } else if (line.rfind("APOP ", 0) == 0) {
            ls.seen += "APOP;";
            reply(line == "APOP anna " + vtest::ntlm::ApopDigest("<1.2@vtest>", "pw"));
        } else if (line.rfind("USER ", 0) == 0) {
            ls.seen += "USER;";
            c.Send(line == "USER anna" ? "+OK\r\n" : "-ERR\r\n");
        } else if (line.rfind("PASS ", 0) == 0) {
            reply(line == "PASS pw");
        } else if (line == "STAT") {
            c.Send("+OK 0 0\r\n");
        } else if (line == "QUIT") {
            c.Send("+OK\r\n");
            return;
        } else {
            ls.seen += line + ";";
            c.Send("-ERR unknown\r\n");
        }
    }
}

TEST_F(BadServer, PlainLoginFallsBackToUserAndPass) {
    LoginServer ls;
    ls.capa = "USER\r\n";
    ScriptedServer server([&](ScriptedConnection& c) { LoginPop3(c, ls); });
    auto s = Session(server, false);
    EXPECT_EQ(s->Login("127.0.0.1", "anna", "pw"), kOk) << s->LastError() << ls.seen;
    EXPECT_TRUE(ls.accepted);
    EXPECT_EQ(ls.seen, "USER;");
}

TEST_F(BadServer, EncryptedLoginUsesApopWhereOffered) {
    LoginServer ls;
    ls.greeting = "+OK ready <1.2@vtest>\r\n";
    ls.capa = "SASL CRAM-MD5\r\n";
    ScriptedServer server([&](ScriptedConnection& c) { LoginPop3(c, ls); });
    auto s = Session(server, false);
    EXPECT_EQ(s->LoginEncrypted("127.0.0.1", "anna", "pw"), kOk) << s->LastError() << ls.seen;
    EXPECT_TRUE(ls.accepted);
    EXPECT_EQ(ls.seen, "APOP;");
    EXPECT_EQ(s->LoginEncrypted("127.0.0.1", "anna", "wrong"), kLoginRefused);
}

TEST_F(BadServer, EncryptedLoginUsesCramMd5WithoutApop) {
    LoginServer ls;
    ls.capa = "SASL PLAIN CRAM-MD5\r\n";
    ScriptedServer server([&](ScriptedConnection& c) { LoginPop3(c, ls); });
    auto s = Session(server, false);
    EXPECT_EQ(s->LoginEncrypted("127.0.0.1", "anna", "pw"), kOk) << s->LastError() << ls.seen;
    EXPECT_TRUE(ls.accepted);
    EXPECT_EQ(ls.seen, "CRAM-MD5;");
}

TEST_F(BadServer, StartTlsRefusedIsATlsFailure) {
    LoginServer ls;
    ls.capa = "STLS\r\nSASL PLAIN\r\n";
    ScriptedServer server([&](ScriptedConnection& c) { LoginPop3(c, ls); });
    config_.popStartTlsPort = server.port();
    auto s = Session(server, false);
    ASSERT_EQ(s->InitSsl(), kOk);
    EXPECT_EQ(s->Login("127.0.0.1", "anna", "pw"), kTlsFailed) << s->LastError();
    EXPECT_FALSE(ls.accepted);  // no password over the plain connection
}

TEST_F(BadServer, ServerNamesThatAreNoHostNamesAreRefused) {
    CurlMailSession s(config_);
    for (const char* bad : {"", "host/path", "user@host", "host name", "a\r\nb"}) {
        EXPECT_EQ(s.Login(bad, "u", "p"), kUnreachable) << bad;
    }
    s.SetPort(70000);
    EXPECT_EQ(s.Login("127.0.0.1", "u", "p"), kUnreachable);
}

}  // namespace
