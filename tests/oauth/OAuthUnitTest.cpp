// The OAuth2 layer's parts that need no server: the JSON of token answers, PKCE, query
// strings, what an answer of the token endpoint means, and the provider presets.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "platform/oauth/FlatJson.h"
#include "platform/oauth/Pkce.h"
#include "platform/oauth/Providers.h"
#include "platform/oauth/TokenService.h"
#include "platform/oauth/UrlForm.h"

namespace {
using namespace vellora::oauth;
using ::testing::HasSubstr;

TEST(FlatJson, ReadsTheMembersOfATokenAnswer) {
    const auto o = ParseFlatObject(
        " {\"access_token\":\"ya29.a\\/b\",\"expires_in\":3599,\"scope\":\"x y\","
        "\"id\":{\"n\":[1,2,{\"k\":null}]},\"ok\":true,\"none\":null,\"e\":-1.5e+3}\n");
    ASSERT_TRUE(o);
    EXPECT_EQ(StringMember(*o, "access_token"), "ya29.a/b");
    EXPECT_EQ(IntegerMember(*o, "expires_in"), 3599);
    EXPECT_EQ(o->at("id").kind, JsonValue::Kind::kNested);
    EXPECT_EQ(o->at("ok").text, "true");
    EXPECT_EQ(o->at("none").kind, JsonValue::Kind::kNull);
    EXPECT_EQ(o->at("e").text, "-1.5e+3");
    EXPECT_FALSE(StringMember(*o, "expires_in"));  // a number is not a string
    EXPECT_FALSE(StringMember(*o, "absent"));
}

TEST(FlatJson, DecodesEscapesToUtf8) {
    const auto o = ParseFlatObject(R"({"t":"a\"b\\c\n\u00e9\u20ac\ud83d\ude00"})");
    ASSERT_TRUE(o);
    EXPECT_EQ(StringMember(*o, "t"), "a\"b\\c\n\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(FlatJson, QuotedLifetimesCount) {
    const auto o = ParseFlatObject(R"({"expires_in":"3600","bad":"36x","frac":1.5})");
    ASSERT_TRUE(o);
    EXPECT_EQ(IntegerMember(*o, "expires_in"), 3600);
    EXPECT_FALSE(IntegerMember(*o, "bad"));
    EXPECT_FALSE(IntegerMember(*o, "frac"));
}

TEST(FlatJson, RefusesEverythingThatIsNotExactlyOneObject) {
    const char* bad[] = {
        "",
        "[]",
        "\"text\"",
        "{\"a\":1",             // cut short
        "{\"a\":1} x",          // text after the object
        "{\"a\":1,}",           // trailing comma
        "{a:1}",                // unquoted name
        "{\"a\":\"x\ny\"}",     // raw control character
        "{\"a\":\"\\x41\"}",    // unknown escape
        "{\"a\":\"\\ud83d\"}",  // lone surrogate
        "{\"a\":01}",           // leading zero
        "{\"a\":1.}",           // fraction without digits
        "{\"a\":tru}",          // broken word
        "{\"a\":[1,2}",         // unclosed array
        "{\"access_token\": \"at-\x01 unterminated",
        "<html><body>Internal Server Error</body></html>",
    };
    for (const char* text : bad) {
        std::string error;
        EXPECT_FALSE(ParseFlatObject(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    std::string deep = std::string(40, '[');
    EXPECT_FALSE(ParseFlatObject("{\"a\":" + deep + std::string(40, ']') + "}"));
}

TEST(Pkce, ChallengeMatchesTheRfcExample) {
    // RFC 7636, appendix B.
    EXPECT_EQ(S256Challenge("dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk"),
              "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM");
}

TEST(Pkce, VerifiersAreFreshAndOfTheVerifierAlphabet) {
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        const std::string v = NewCodeVerifier();
        EXPECT_EQ(v.size(), 43u);  // the shortest verifier RFC 7636 allows
        EXPECT_EQ(v.find_first_not_of(
                      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~"),
                  std::string::npos);
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 50u);
    const unsigned char bytes[] = {0xFB, 0xFF, 0x00, 0x01};
    EXPECT_EQ(Base64Url(bytes, 4), "-_8AAQ");
}

TEST(UrlForm, QueriesRoundTrip) {
    const FormFields f = {{"redirect_uri", "http://127.0.0.1:5000"}, {"scope", "a b&c=d"}};
    const std::string query = EncodeForm(f);
    EXPECT_EQ(query, "redirect_uri=http%3A%2F%2F127.0.0.1%3A5000&scope=a%20b%26c%3Dd");
    const auto back = DecodeQuery(query);
    EXPECT_EQ(back.at("redirect_uri"), "http://127.0.0.1:5000");
    EXPECT_EQ(back.at("scope"), "a b&c=d");
    const auto odd = DecodeQuery("code=a+b&state=%zz&state=second&flag&=x");
    EXPECT_EQ(odd.at("code"), "a b");
    EXPECT_EQ(odd.at("state"), "%zz");  // the first wins; a broken escape stays as it is
    EXPECT_EQ(odd.at("flag"), "");
    EXPECT_EQ(WithQuery("https://x/auth?tenant=1", {{"a", "b"}}), "https://x/auth?tenant=1&a=b");
}

TEST(TokenAnswer, WhatEachAnswerMeans) {
    struct Case {
        long status;
        std::string body;
        TokenStatus expected;
        std::string message;
    };
    const std::vector<Case> cases = {
        {200,
         R"({"access_token":"at","token_type":"Bearer","expires_in":3599,"refresh_token":"rt"})",
         TokenStatus::kOk, ""},
        {400,
         R"({"error":"invalid_grant","error_description":"Token has been expired or revoked."})",
         TokenStatus::kRefused, "invalid_grant (Token has been expired or revoked.)"},
        {400, R"({"error":"interaction_required"})", TokenStatus::kRefused, "interaction_required"},
        {401, R"({"error":"invalid_client"})", TokenStatus::kClientRejected, "invalid_client"},
        {400, "Bad Request", TokenStatus::kTransient, "HTTP 400"},
        {500, "<html>Internal Server Error</html>", TokenStatus::kTransient, "HTTP 500"},
        {503, R"({"error":"temporarily_unavailable"})", TokenStatus::kTransient, "HTTP 503"},
        {200, "{\"access_token\": \"at-\x01 unterminated", TokenStatus::kTransient,
         "not a JSON object"},
        {200, R"({"token_type":"Bearer"})", TokenStatus::kTransient, "no access token"},
        {200, R"({"access_token":"at","token_type":"mac"})", TokenStatus::kTransient,
         "no bearer token"},
        {200, R"({"error":"invalid_grant"})", TokenStatus::kRefused, "invalid_grant"},
    };
    for (const auto& c : cases) {
        const TokenAnswer a = InterpretTokenAnswer(c.status, c.body);
        EXPECT_EQ(a.status, c.expected) << c.body;
        EXPECT_THAT(a.message, HasSubstr(c.message)) << c.body;
    }
    const TokenAnswer ok = InterpretTokenAnswer(
        200, R"({"access_token":"at","expires_in":"60","refresh_token":"rt2"})");
    EXPECT_EQ(ok.accessToken, "at");
    EXPECT_EQ(ok.refreshToken, "rt2");
    EXPECT_EQ(ok.expiresIn, 60);
    EXPECT_EQ(InterpretTokenAnswer(200, R"({"access_token":"at"})").expiresIn, -1);
}

TEST(TokenEndpoint, OnlyHttpsOrTheLoopbackInterface) {
    EXPECT_TRUE(SafeEndpoint("https://oauth2.googleapis.com/token"));
    EXPECT_TRUE(SafeEndpoint("http://127.0.0.1:8080/token"));
    EXPECT_TRUE(SafeEndpoint("HTTP://localhost/token"));
    EXPECT_TRUE(SafeEndpoint("http://[::1]:9/t"));
    EXPECT_FALSE(SafeEndpoint("http://example.org/token"));
    EXPECT_FALSE(SafeEndpoint("http://127.0.0.1.example.org/token"));
    EXPECT_FALSE(SafeEndpoint("http://localhost.evil/token"));
    EXPECT_FALSE(SafeEndpoint("ftp://127.0.0.1/token"));
    EXPECT_FALSE(SafeEndpoint("https://"));
}

TEST(Presets, AreDataForEachProviderAndProtocol) {
    const ProviderPreset* google = FindPreset("Google");
    const ProviderPreset* microsoft = FindPreset("microsoft");
    const ProviderPreset* generic = FindPreset("generic");
    ASSERT_TRUE(google && microsoft && generic);
    EXPECT_EQ(FindPreset("yahoo"), nullptr);
    EXPECT_EQ(ProviderPresets().size(), 3u);

    const TypedClient typed{"my-id", "my-secret", "https://typed/auth", "https://typed/token",
                            "typed-scope"};
    const ClientConfig g = ResolveClient(*google, typed, true);
    EXPECT_EQ(g.clientId, "my-id");
    EXPECT_EQ(g.clientSecret, "my-secret");
    EXPECT_EQ(g.tokenUrl, "https://oauth2.googleapis.com/token");  // the preset's, not typed
    EXPECT_EQ(g.scope, "https://mail.google.com/");
    EXPECT_EQ(google->imapServer, "imap.gmail.com");
    EXPECT_EQ(google->popServer, "pop.gmail.com");

    const ClientConfig mImap = ResolveClient(*microsoft, typed, true);
    const ClientConfig mPop = ResolveClient(*microsoft, typed, false);
    EXPECT_THAT(mImap.scope, HasSubstr("IMAP.AccessAsUser.All"));
    EXPECT_THAT(mPop.scope, HasSubstr("POP.AccessAsUser.All"));
    EXPECT_THAT(mPop.scope, HasSubstr("offline_access"));
    EXPECT_EQ(mImap.redirectHost, "localhost");
    EXPECT_EQ(microsoft->imapServer, "outlook.office365.com");
    EXPECT_EQ(microsoft->popPort, 995);

    const ClientConfig typedOnly = ResolveClient(*generic, typed, false);
    EXPECT_EQ(typedOnly.authorizeUrl, "https://typed/auth");
    EXPECT_EQ(typedOnly.tokenUrl, "https://typed/token");
    EXPECT_EQ(typedOnly.scope, "typed-scope");
    EXPECT_TRUE(typedOnly.Complete());
    EXPECT_FALSE(ResolveClient(*generic, TypedClient{}, true).Complete());
}

}  // namespace
