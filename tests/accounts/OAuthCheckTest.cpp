// OAuth2 accounts in the mail check, against the real pieces: a private Dovecot whose oauth2
// passdb asks our test authorization server about every token, that server's token endpoint,
// and the real mail component. The test plays the user's browser for each sign-in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "main/core/AccountMailCheck.h"
#include "main/core/AccountSignIn.h"
#include "main/core/Accounts.h"
#include "platform/mail/MailFactory.h"
#include "shared/AppFolder.h"
#include "shared/Profile.h"
#include "shared/StoredPassword.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/accounts/Fakes.h"
#include "tests/dispatch/DispatchFakes.h"
#include "tests/support/Dovecot.h"
#include "tests/support/OAuthServer.h"

namespace {
using namespace vellora::core;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;
using namespace std::chrono_literals;
namespace st = vellora::texts;

std::string Raw(const std::string& subject) {
    return "From: Sender <sender@example.org>\r\nTo: someone@example.org\r\nSubject: " + subject +
           "\r\nMessage-ID: <" + subject + "@example.org>\r\n\r\nBody of " + subject + "\r\n";
}

// The user's browser: asks the provider's page and follows its redirect, on its own thread.
struct Browser {
    std::thread thread;
    ~Browser() {
        if (thread.joinable()) thread.join();
    }
    vellora::oauth::UrlOpener Opener() {
        return [this](const std::string& url) {
            thread = std::thread([url] { vtest::OAuthServer::FollowAuthorization(url); });
            return true;
        };
    }
};

class OAuthCheck : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        auth = new vtest::OAuthServer();
        dovecot = new vtest::Dovecot({auth->introspectUrl()});
        passwordsOnly = new vtest::Dovecot();
        setenv("VELLORA_CA_FILE", dovecot->caFile().c_str(), 1);
    }
    static void TearDownTestSuite() {
        delete dovecot;
        delete passwordsOnly;
        delete auth;
    }
    void SetUp() override {
        vellora::SetAppFolderForTesting(dir.path());
        const std::string tag = std::to_string(++serial);
        anna = "anna" + tag;
        bert = "bert" + tag;
        carl = "carl" + tag;
        for (const auto& u : {anna, bert, carl}) dovecot->AddUser(u, u + "-pw");
        SaveOAuthClient(path, "generic",
                        {auth->clientId(), "", auth->authorizeUrl(), auth->tokenUrl(), "mail"});
        options.notifyOnError = true;
        tokens = std::make_shared<AccountTokens>(
            TokenParts{path, accounts, status, options, clock, service});
        check = std::make_unique<AccountMailCheck>(
            MailCheckParts{*session, *message, handling, status, pump, options, accounts, path});
        check->UseTokens(tokens);
    }
    void TearDown() override { vellora::SetAppFolderForTesting(""); }

    AccountRecord OAuthImap(const std::string& user) {
        AccountRecord a;
        a.id = static_cast<std::int16_t>(accounts.size() + 1);
        a.imap = true;
        a.server = "127.0.0.1";
        a.port = dovecot->imapPort();
        a.user = user;
        a.printNew = true;
        a.lastId = kFreshStart;
        a.auth = AuthMethod::kOAuth2;
        a.oauthProvider = "generic";
        return a;
    }
    AccountRecord OAuthPop3Tls(const std::string& user) {
        AccountRecord a = OAuthImap(user);
        a.imap = false;
        a.pop = true;
        a.server = "localhost";
        a.port = dovecot->pop3sPort();
        a.ssl = true;
        return a;
    }
    AccountRecord PasswordImap(const std::string& user) {
        AccountRecord a = OAuthImap(user);
        a.auth = AuthMethod::kPassword;
        a.oauthProvider.clear();
        a.password = user + "-pw";
        return a;
    }
    // "Sign in with the provider's page", as the account editor will run it.
    void SignIn(AccountRecord& record) {
        Browser browser;
        std::string message;
        auto task = BeginSignIn(path, record, &message, browser.Opener(), 20s);
        ASSERT_TRUE(task) << message;
        const auto result = task->Wait();
        ASSERT_TRUE(result.ok()) << result.message;
        tokens->SignedIn(record, result.tokens);
    }
    void Add(AccountRecord record) {
        accounts.push_back(std::move(record));
        SaveAccounts(path, accounts);
    }
    // Signed in as its user through the provider's page, then saved as the next account.
    void AddSignedIn(AccountRecord record) {
        record.id = static_cast<std::int16_t>(accounts.size() + 1);
        auth->Control("user=" + record.user);
        SignIn(record);
        Add(record);
    }
    void AddPassword(const std::string& user) {
        AccountRecord a = PasswordImap(user);
        a.id = static_cast<std::int16_t>(accounts.size() + 1);
        Add(a);
    }
    void Check() { check->RunMailCheck(); }
    std::string Stored(std::size_t position, const std::string& key) {
        return vellora::profile::ReadString(path, AccountSection(position), key).value_or("");
    }
    std::int32_t StoredLastId(std::size_t position) {
        return basINI_IO::ReadSettingNumber(path, AccountSection(position), st::kKeyAcctLastMsg);
    }
    std::string StoredGrant(std::size_t position) {
        return vellora::password::Read(Stored(position, st::kKeyAcctRefreshToken));
    }
    std::vector<std::string> Matched(const std::string& user) {
        std::vector<std::string> out;
        for (const auto& m : handling.matched) {
            if (m.find(" - " + user + "|") != std::string::npos)
                out.push_back(m.substr(m.find('|') + 1));
        }
        return out;
    }

    static vtest::OAuthServer* auth;
    static vtest::Dovecot *dovecot, *passwordsOnly;
    static int serial;
    vtest::TempDir dir{"oauth-check"};
    std::string path = dir / "vellora.ini";
    std::string anna, bert, carl;
    std::unique_ptr<vellora::mail::MailSession> session = vellora::mail::CreateMailSession();
    std::unique_ptr<vellora::mail::MailMessage> message = vellora::mail::CreateMailMessage();
    vtest::RecordingHandling handling;
    vtest::RecordingStatus status;
    vtest::HookPump pump;
    vtest::ManualClock clock;
    vellora::oauth::CurlTokenService service{vellora::oauth::TokenLimits{2s, 3s, 64 * 1024}};
    Options options;
    AccountArray accounts;
    std::shared_ptr<AccountTokens> tokens;
    std::unique_ptr<AccountMailCheck> check;
};
vtest::OAuthServer* OAuthCheck::auth = nullptr;
vtest::Dovecot* OAuthCheck::dovecot = nullptr;
vtest::Dovecot* OAuthCheck::passwordsOnly = nullptr;
int OAuthCheck::serial = 0;

TEST_F(OAuthCheck, SignInThenImapAndPop3ChecksFetchTheNewMail) {
    const int refreshesBefore = auth->Stats().refreshes;
    AddSignedIn(OAuthImap(anna));
    AddSignedIn(OAuthPop3Tls(bert));
    dovecot->AddMessage(anna, Raw("a-old"));
    Check();  // first contact: what is there counts as seen
    EXPECT_THAT(status.errors, IsEmpty());
    dovecot->AddMessage(anna, Raw("a-new"));
    dovecot->AddMessage(bert, Raw("b-new"));
    Check();
    EXPECT_THAT(status.errors, IsEmpty()) << status.errors.front();
    EXPECT_THAT(Matched(anna), ElementsAre("a-new"));
    EXPECT_THAT(Matched(bert), ElementsAre("b-new"));
    EXPECT_THAT(dovecot->log(), HasSubstr("user=<" + anna + ">, method=OAUTHBEARER"));
    EXPECT_THAT(dovecot->log(),
                HasSubstr("pop3-login: Info: Login: user=<" + bert + ">, method=OAUTHBEARER"));
    // The refresh token is kept like a password; the access token never reaches the file.
    EXPECT_EQ(StoredGrant(1), accounts[0].refreshToken);
    EXPECT_THAT(vtest::ReadFile(path), Not(HasSubstr(accounts[0].refreshToken)));
    EXPECT_THAT(vtest::ReadFile(path), Not(HasSubstr("at-")));
    EXPECT_EQ(Stored(1, st::kKeyAcctAuth), "OAuth2");
    // Two sign-ins and no refresh: the access tokens of the sign-ins served both checks.
    EXPECT_EQ(auth->Stats().refreshes, refreshesBefore);
}

// Signed in as if through the page (the whole flow is shown above), for the later cases.
TEST_F(OAuthCheck, AnAccessTokenExpiringBetweenChecksIsRenewedAndTheRotatedGrantStoredAtOnce) {
    AddSignedIn(OAuthImap(anna));
    Check();
    const int refreshes = auth->Stats().refreshes;
    const std::string first = StoredGrant(1);
    ASSERT_FALSE(first.empty());
    // The provider lets the access token die; our clock is 30 s short of its end.
    auth->Control("expire_access=1");
    clock.Advance(3600s - 30s);
    dovecot->AddMessage(anna, Raw("a1"));
    std::string storedAtMatch;
    handling.onMatch = [&](const std::string&) { storedAtMatch = StoredGrant(1); };
    Check();
    EXPECT_THAT(status.errors, IsEmpty()) << status.errors.front();
    EXPECT_THAT(Matched(anna), ElementsAre("a1"));
    EXPECT_EQ(auth->Stats().refreshes, refreshes + 1);
    // Rotated: the new grant was in the file before the first message was handled.
    EXPECT_NE(StoredGrant(1), first);
    EXPECT_EQ(storedAtMatch, StoredGrant(1));
    EXPECT_EQ(accounts[0].refreshToken, StoredGrant(1));
    // The renewed token serves the next check without another request.
    Check();
    EXPECT_EQ(auth->Stats().refreshes, refreshes + 1);
    EXPECT_THAT(status.errors, IsEmpty());
}

TEST_F(OAuthCheck, AnAccessTokenThatDiesMidCheckIsRenewedOnceAndTheCheckGoesOn) {
    AddSignedIn(OAuthImap(anna));
    Check();
    const int refreshes = auth->Stats().refreshes;
    auth->Control("expire_access=1");  // our clock still thinks the token good for an hour
    dovecot->AddMessage(anna, Raw("a1"));
    Check();
    EXPECT_THAT(status.errors, IsEmpty()) << status.errors.front();
    EXPECT_THAT(Matched(anna), ElementsAre("a1"));
    EXPECT_EQ(auth->Stats().refreshes, refreshes + 1);
}

TEST_F(OAuthCheck, ARevokedGrantIsReportedOnceMarkedSkippedAndASignInBringsItBack) {
    AddSignedIn(OAuthImap(anna));
    AddPassword(carl);
    dovecot->AddMessage(anna, Raw("a0"));
    Check();
    const std::int32_t annaLast = StoredLastId(1);
    // Revoked between two checks: the grant and the access token with it.
    auth->Control("revoke=" + anna);
    dovecot->AddMessage(anna, Raw("a1"));
    dovecot->AddMessage(carl, Raw("c1"));
    Check();
    ASSERT_THAT(status.errors, SizeIs(1));
    EXPECT_THAT(status.errors[0], HasSubstr("127.0.0.1 - " + anna));
    EXPECT_THAT(status.errors[0], HasSubstr("sign in again"));
    EXPECT_THAT(status.errors[0], HasSubstr("invalid_grant"));
    ASSERT_THAT(status.notifications, SizeIs(1));
    EXPECT_THAT(status.notifications[0], HasSubstr("sign in again"));
    EXPECT_TRUE(accounts[0].needsSignIn);
    EXPECT_EQ(Stored(1, st::kKeyAcctSignInNeeded), "1");
    // Nothing else lost: the ids, the grant as stored, the other account's check.
    EXPECT_EQ(StoredLastId(1), annaLast);
    EXPECT_FALSE(StoredGrant(1).empty());
    EXPECT_THAT(Matched(carl), ElementsAre("c1"));
    EXPECT_THAT(Matched(anna), IsEmpty());

    // Later checks skip it without asking anybody, and say why in the mail log.
    const int requests = auth->Stats().tokenRequests;
    Check();
    Check();
    EXPECT_EQ(auth->Stats().tokenRequests, requests);
    EXPECT_THAT(status.errors, SizeIs(1));
    EXPECT_THAT(status.notifications, SizeIs(1));
    EXPECT_THAT(status.mail, Contains(HasSubstr("needs a new sign-in")));

    // A fresh sign-in of the saved account: stored at once, and the waiting mail comes.
    AccountRecord edited = accounts[0];
    SignIn(edited);
    EXPECT_EQ(Stored(1, st::kKeyAcctSignInNeeded), "0");
    EXPECT_FALSE(accounts[0].needsSignIn);
    Check();
    EXPECT_THAT(status.errors, SizeIs(1));
    EXPECT_THAT(Matched(anna), ElementsAre("a1"));
    // After a restart the account loads as it was left.
    const LoadedAccounts loaded = LoadAccounts(path, 20);
    EXPECT_FALSE(loaded.accounts[0].needsSignIn);
    EXPECT_EQ(loaded.accounts[0].refreshToken, accounts[0].refreshToken);
}

TEST_F(OAuthCheck, ATokenEndpointThatFailsCostsOnlyThisCheck) {
    AddSignedIn(OAuthImap(anna));
    AddPassword(carl);
    Check();
    const std::vector<std::pair<std::string, std::string>> modes = {
        {"500", "HTTP 500"}, {"garbage", "not a JSON object"}, {"hang", "could not be reached"}};
    int n = 0;
    for (const auto& [mode, expected] : modes) {
        SCOPED_TRACE(mode);
        status.errors.clear();
        clock.Advance(2h);  // the access token needs renewing
        const std::string grant = StoredGrant(1);
        const std::int32_t last = StoredLastId(1);
        auth->Control("fail_next=1&fail_mode=" + mode);
        dovecot->AddMessage(anna, Raw("a" + std::to_string(++n)));
        dovecot->AddMessage(carl, Raw("c" + std::to_string(n)));
        handling.matched.clear();
        Check();
        ASSERT_THAT(status.errors, SizeIs(1));
        EXPECT_THAT(status.errors[0], HasSubstr("trying again at the next check"));
        EXPECT_THAT(status.errors[0], HasSubstr(expected));
        EXPECT_FALSE(accounts[0].needsSignIn);
        EXPECT_EQ(StoredGrant(1), grant);
        EXPECT_EQ(StoredLastId(1), last);
        EXPECT_THAT(Matched(carl), ElementsAre("c" + std::to_string(n)));
        // The next check renews and catches up.
        Check();
        EXPECT_THAT(status.errors, SizeIs(1));
        EXPECT_THAT(Matched(anna), ElementsAre("a" + std::to_string(n)));
    }
    EXPECT_TRUE(status.notifications.empty());
}

TEST_F(OAuthCheck, AServerWithoutOAuthMechanismsIsReportedAndNotMarked) {
    AccountRecord imap = OAuthImap(anna);
    imap.port = passwordsOnly->imapPort();
    passwordsOnly->AddUser(anna, "pw");
    AddSignedIn(imap);
    Check();
    ASSERT_THAT(status.errors, SizeIs(1));
    EXPECT_THAT(status.errors[0], HasSubstr("neither OAUTHBEARER nor XOAUTH2"));
    EXPECT_FALSE(accounts[0].needsSignIn);
    EXPECT_EQ(Stored(1, st::kKeyAcctSignInNeeded), "0");
}

TEST_F(OAuthCheck, AnAccountNeverSignedInOrWithoutAClientIdIsSkippedWithAReason) {
    const int requests = auth->Stats().tokenRequests;
    Add(OAuthImap(anna));  // saved without a sign-in
    Check();
    ASSERT_THAT(status.errors, SizeIs(1));
    EXPECT_THAT(status.errors[0], HasSubstr("has not been signed in"));
    EXPECT_TRUE(accounts[0].needsSignIn);
    EXPECT_TRUE(status.notifications.empty());
    EXPECT_EQ(auth->Stats().tokenRequests, requests);

    accounts.clear();
    AccountRecord imap = OAuthImap(bert);
    imap.refreshToken = auth->Issue(bert).refreshToken;
    Add(imap);
    SaveOAuthClient(path, "generic", {"", "", auth->authorizeUrl(), auth->tokenUrl(), "mail"});
    status.errors.clear();
    Check();
    ASSERT_THAT(status.errors, SizeIs(1));
    EXPECT_THAT(status.errors[0], HasSubstr("lack the provider's client id"));
    EXPECT_FALSE(accounts[0].needsSignIn);
    std::string message;
    EXPECT_FALSE(BeginSignIn(path, imap, &message));
    EXPECT_THAT(message, HasSubstr("client id"));
}

}  // namespace
