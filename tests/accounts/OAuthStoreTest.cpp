// How OAuth2 accounts and the user's OAuth2 clients are kept in the settings file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "main/core/AccountSignIn.h"
#include "main/core/Accounts.h"
#include "shared/AppFolder.h"
#include "shared/Profile.h"
#include "shared/Texts.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora::core;
using ::testing::HasSubstr;
using ::testing::Not;
namespace st = vellora::texts;

class OAuthStore : public ::testing::Test {
  protected:
    void SetUp() override { vellora::SetAppFolderForTesting(dir.path()); }
    void TearDown() override { vellora::SetAppFolderForTesting(""); }
    std::optional<std::string> Key(const std::string& key) {
        return vellora::profile::ReadString(path, AccountSection(1), key);
    }
    vtest::TempDir dir{"oauth-store"};
    std::string path = dir / "vellora.ini";
};

AccountRecord Microsoft() {
    AccountRecord a;
    a.id = 1;
    a.imap = true;
    a.user = "anna@example.org";
    a.password = "(no password)";
    ApplyPreset(a, *vellora::oauth::FindPreset("microsoft"));
    return a;
}

TEST_F(OAuthStore, AnOAuth2AccountLoadsBackWithALongGrantWhole) {
    AccountRecord a = Microsoft();
    // Some providers issue refresh tokens far longer than a settings read returns.
    a.refreshToken = "0.AXkA" + std::string(2500, 'x') + "-_.~!end";
    a.needsSignIn = true;
    SaveAccounts(path, {a});
    const auto loaded = LoadAccounts(path, 20).accounts.at(0);
    EXPECT_EQ(loaded.auth, AuthMethod::kOAuth2);
    EXPECT_EQ(loaded.oauthProvider, "microsoft");
    EXPECT_EQ(loaded.refreshToken, a.refreshToken);
    EXPECT_TRUE(loaded.needsSignIn);
    EXPECT_EQ(loaded.server, "outlook.office365.com");
    EXPECT_EQ(loaded.port, 993);
    EXPECT_TRUE(loaded.ssl);
    // One line, not readable as it stands.
    const std::string file = vtest::ReadFile(path);
    EXPECT_THAT(file, Not(HasSubstr("xxxxxxxx")));
    const auto at = file.find(st::kKeyAcctRefreshToken.str() + "=");
    ASSERT_NE(at, std::string::npos);
    EXPECT_GT(file.find('\n', at) - at, 3000u);
}

TEST_F(OAuthStore, PasswordAccountsCarryNoSignInKeys) {
    AccountRecord a = Microsoft();
    a.refreshToken = "rt";
    SaveAccounts(path, {a});
    ASSERT_TRUE(Key(st::kKeyAcctRefreshToken));
    a.auth = AuthMethod::kPassword;
    SaveAccounts(path, {a});
    for (const std::string& key :
         {st::kKeyAcctAuth.str(), st::kKeyAcctProvider.str(), st::kKeyAcctRefreshToken.str(),
          st::kKeyAcctSignInNeeded.str()}) {
        EXPECT_FALSE(Key(key)) << key;
    }
    const auto loaded = LoadAccounts(path, 20).accounts.at(0);
    EXPECT_EQ(loaded.auth, AuthMethod::kPassword);
    EXPECT_TRUE(loaded.refreshToken.empty());
}

TEST_F(OAuthStore, ClientsAreKeptPerPresetAndResolvedForTheAccountsProtocol) {
    SaveOAuthClient(path, "microsoft", {"ms-id", "", "https://ignored", "https://ignored", "x"});
    SaveOAuthClient(
        path, "generic",
        {"g-id", "s3cret!", "https://idp.example/auth", "https://idp.example/token", "mail"});
    EXPECT_EQ(ReadOAuthClient(path, "generic").clientSecret, "s3cret!");
    // As typed, so that a user can also enter them in the settings file by hand.
    EXPECT_THAT(vtest::ReadFile(path), HasSubstr("OAuthClientId.microsoft=ms-id"));
    // A preset with endpoints of its own keeps no typed ones.
    EXPECT_TRUE(ReadOAuthClient(path, "microsoft").tokenUrl.empty());

    AccountRecord pop = Microsoft();
    pop.imap = false;
    pop.pop = true;
    const auto client = ClientFor(path, pop);
    ASSERT_TRUE(client);
    EXPECT_EQ(client->clientId, "ms-id");
    EXPECT_THAT(client->scope, HasSubstr("POP.AccessAsUser.All"));
    EXPECT_THAT(client->tokenUrl, HasSubstr("login.microsoftonline.com"));

    AccountRecord generic = pop;
    generic.oauthProvider = "generic";
    EXPECT_EQ(ClientFor(path, generic)->tokenUrl, "https://idp.example/token");
    generic.oauthProvider = "unknown";
    EXPECT_FALSE(ClientFor(path, generic));
    generic.auth = AuthMethod::kPassword;
    EXPECT_FALSE(ClientFor(path, generic));
}

TEST_F(OAuthStore, PresetsFillTheServerForTheProtocol) {
    AccountRecord a;
    a.pop = true;
    a.ntlm = a.encryptedLogin = true;
    ApplyPreset(a, *vellora::oauth::FindPreset("google"));
    EXPECT_EQ(a.server, "pop.gmail.com");
    EXPECT_EQ(a.port, 995);
    EXPECT_TRUE(a.ssl);
    EXPECT_FALSE(a.ntlm || a.encryptedLogin);
    AccountRecord typed;
    typed.imap = true;
    typed.server = "mail.example.org";
    typed.port = 143;
    ApplyPreset(typed, *vellora::oauth::FindPreset("generic"));
    EXPECT_EQ(typed.server, "mail.example.org");
    EXPECT_EQ(typed.port, 143);
    EXPECT_EQ(typed.auth, AuthMethod::kOAuth2);
}

}  // namespace
