// OAuth2 logins of the real session against a private Dovecot whose oauth2 passdb asks our
// test authorization server about each token: which SASL mechanism libcurl sends for IMAP and
// POP3, plain and over TLS, what a dead token and a server without either mechanism give.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <regex>

#include "platform/mail/CurlMailSession.h"
#include "tests/support/Dovecot.h"
#include "tests/support/OAuthServer.h"

namespace {
using namespace vellora::mail;
using ::testing::HasSubstr;

std::string Message(const std::string& subject) {
    return "From: a@example.org\r\nTo: anna@example.org\r\nSubject: " + subject +
           "\r\nMessage-ID: <" + subject + "@example.org>\r\n\r\nHello\r\n";
}

// The mechanism of the user's last login, as Dovecot logs it.
std::string LastMethod(const vtest::Dovecot& dovecot, const std::string& user) {
    const std::string log = dovecot.log();
    const std::regex re("Login: user=<" + user + ">, method=([A-Z0-9-]+)");
    std::string method;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), re); it != std::sregex_iterator();
         ++it) {
        method = (*it)[1];
    }
    return method;
}

class OAuthLogin : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        auth = new vtest::OAuthServer();
        both = new vtest::Dovecot({auth->introspectUrl()});
        xoauth2Only = new vtest::Dovecot({auth->introspectUrl(), "xoauth2"});
        passwordsOnly = new vtest::Dovecot();
    }
    static void TearDownTestSuite() {
        delete both;
        delete xoauth2Only;
        delete passwordsOnly;
        delete auth;
    }
    void SetUp() override {
        static int n = 0;
        user = "oa" + std::to_string(++n);
        for (auto* d : {both, xoauth2Only, passwordsOnly}) d->AddUser(user, "pw-" + user);
        config.uidlMapPath = dir / "ids.dat";
        config.limits.operationTimeout = std::chrono::seconds(20);
    }
    std::int32_t LogIn(vtest::Dovecot& d, bool imap, bool tls, const std::string& token) {
        session = std::make_unique<CurlMailSession>(config);
        setenv("VELLORA_CA_FILE", d.caFile().c_str(), 1);
        session->Reset();
        session->SetImap(imap);
        session->SetPort(imap ? (tls ? d.imapsPort() : d.imapPort())
                              : (tls ? d.pop3sPort() : d.pop3Port()));
        if (tls) {
            EXPECT_EQ(session->InitSsl(), kOk);
        }
        session->SetCredentials(Credentials::Bearer(token));
        return session->Login(tls ? "localhost" : "127.0.0.1", user, "");
    }

    static vtest::OAuthServer* auth;
    static vtest::Dovecot *both, *xoauth2Only, *passwordsOnly;
    vtest::TempDir dir{"oauth-mail"};
    CurlMailConfig config;
    std::unique_ptr<CurlMailSession> session;
    std::string user;
};
vtest::OAuthServer* OAuthLogin::auth = nullptr;
vtest::Dovecot* OAuthLogin::both = nullptr;
vtest::Dovecot* OAuthLogin::xoauth2Only = nullptr;
vtest::Dovecot* OAuthLogin::passwordsOnly = nullptr;

TEST_F(OAuthLogin, ABearerTokenLogsInWithOauthbearerForImapAndPop3PlainAndTls) {
    both->AddMessage(user, Message("one"));
    both->AddMessage(user, Message("two"));
    const std::string token = auth->Issue(user).accessToken;
    for (const bool imap : {true, false}) {
        for (const bool tls : {false, true}) {
            SCOPED_TRACE(std::string(imap ? "IMAP" : "POP3") + (tls ? " TLS" : " plain"));
            ASSERT_EQ(LogIn(*both, imap, tls, token), kOk) << session->LastError();
            EXPECT_EQ(session->MessageCount(), 2);
            EXPECT_THAT(session->Retrieve(2), HasSubstr("Subject: two"));
            EXPECT_EQ(LastMethod(*both, user), "OAUTHBEARER");
            session->Close();
        }
    }
}

TEST_F(OAuthLogin, AServerListingOnlyXoauth2GetsXoauth2) {
    xoauth2Only->AddMessage(user, Message("x"));
    const std::string token = auth->Issue(user).accessToken;
    for (const bool imap : {true, false}) {
        ASSERT_EQ(LogIn(*xoauth2Only, imap, false, token), kOk) << session->LastError();
        EXPECT_EQ(session->MessageCount(), 1);
        EXPECT_EQ(LastMethod(*xoauth2Only, user), "XOAUTH2");
    }
}

TEST_F(OAuthLogin, ADeadTokenIsRefusedAndAServerWithoutEitherMechanismSaysSo) {
    for (const bool imap : {true, false}) {
        EXPECT_EQ(LogIn(*both, imap, false, "at-not-issued"), kLoginRefused);
        EXPECT_EQ(LogIn(*xoauth2Only, imap, false, "at-not-issued"), kLoginRefused);
        EXPECT_EQ(LogIn(*passwordsOnly, imap, false, auth->Issue(user).accessToken), kNoOAuthLogin);
        EXPECT_THAT(session->LastError(), HasSubstr("neither OAUTHBEARER nor XOAUTH2"));
    }
    // An access token the provider has expired is refused at the next login.
    const std::string token = auth->Issue(user).accessToken;
    ASSERT_EQ(LogIn(*both, true, false, token), kOk);
    auth->Control("expire_access=1");
    EXPECT_EQ(LogIn(*both, true, false, token), kLoginRefused);
}

TEST_F(OAuthLogin, ResetReturnsTheSessionToPasswords) {
    ASSERT_EQ(LogIn(*both, true, false, auth->Issue(user).accessToken), kOk);
    session->Reset();
    session->SetImap(true);
    session->SetPort(both->imapPort());
    EXPECT_EQ(session->Login("127.0.0.1", user, "pw-" + user), kOk) << session->LastError();
    EXPECT_EQ(LastMethod(*both, user), "PLAIN");
}

}  // namespace
