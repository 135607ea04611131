// The real vellora with an OAuth2 account: nothing but a refresh token and the user's client in
// the settings file, as a sign-in leaves them. vellora renews the access token at our test
// authorization server, logs in to the private Dovecot with OAUTHBEARER and prints the mail on
// the private cupsd; the rotated refresh token is in the settings file afterwards.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "main/core/AccountSignIn.h"
#include "main/core/Accounts.h"
#include "shared/Profile.h"
#include "shared/StoredPassword.h"
#include "shared/Texts.h"
#include "tests/e2e/Stage.h"
#include "tests/support/OAuthServer.h"
#include "tests/support/Pdf.h"

using namespace std::chrono_literals;
using ::testing::HasSubstr;

TEST(OAuthPrint, AnOAuth2AccountsMailIsPrinted) {
    vtest::OAuthServer auth;
    e2e::Config config;
    config.dovecot.oauth2IntrospectionUrl = auth.introspectUrl();
    e2e::Stage stage(config, /*withConvert=*/false);
    stage.AddMail(e2e::MimeMail("Signed in", "E2EOAUTHMARKER printed with a bearer token", "", {}));
    stage.WriteSettings();

    const std::string path = stage.settings();
    auto accounts = vellora::core::LoadAccounts(path, 20).accounts;
    ASSERT_EQ(accounts.size(), 1u);
    vellora::core::AccountRecord& a = accounts[0];
    a.auth = vellora::core::AuthMethod::kOAuth2;
    a.oauthProvider = "generic";
    a.password = "(no password)";
    const std::string issued = auth.Issue(a.user).refreshToken;
    a.refreshToken = issued;
    vellora::core::SaveAccounts(path, accounts);
    vellora::core::SaveOAuthClient(
        path, "generic", {auth.clientId(), "", auth.authorizeUrl(), auth.tokenUrl(), "mail"});

    stage.StartVellora(/*tickMs=*/300);
    const std::string office = stage.config().office;
    const bool printed =
        vtest::WaitFor([&] { return !stage.cups().PrintedFiles(office).empty(); }, 120s, 250ms);
    ASSERT_TRUE(printed) << "status file:\n" << stage.StatusFile() << "\nlog:\n" << stage.Log();
    EXPECT_THAT(vtest::PdfText(stage.cups().PrintedFiles(office).front()),
                HasSubstr("E2EOAUTHMARKER"));
    EXPECT_THAT(stage.dovecot().log(), HasSubstr("method=OAUTHBEARER"));
    EXPECT_GE(auth.Stats().refreshes, 1);
    const auto stored = vellora::profile::ReadString(path, vellora::core::AccountSection(1),
                                                     vellora::texts::kKeyAcctRefreshToken.str());
    ASSERT_TRUE(stored);
    EXPECT_NE(vellora::password::Read(*stored), issued);  // rotated and kept
    stage.StopVellora();
}
