// The notification service's checks and message building, without a network.
#include <gtest/gtest.h>

#include "services/notifyd/RateLimit.h"

#include "services/notifyd/Composer.h"
#include "services/notifyd/Config.h"
#include "tests/support/TestSupport.h"

namespace {
using namespace vellora::notifyd;

TEST(NotifyComposer, PlainAddresses) {
    for (const char* ok : {"a@b", "first.last+tag@example.co.uk", "x_y-z@mail-1.example.test"}) {
        EXPECT_TRUE(IsPlainAddress(ok)) << ok;
    }
    for (const char* bad :
         {"", "a", "@b", "a@", "a@@b", ".a@b", "a.@b", "a..b@c", "a b@c", "a@b c", "<a@b>",
          "a@b,c@d", "a@b;c@d", "a@-b", "a@b-", "a@b..c", "a@.b", "\"a\"@b", "a@b\r\n"}) {
        EXPECT_FALSE(IsPlainAddress(bad)) << bad;
    }
    EXPECT_FALSE(IsPlainAddress(std::string(65, 'a') + "@b")) << "local part over 64";
    EXPECT_FALSE(IsPlainAddress("a@" + std::string(64, 'b') + ".c")) << "label over 63";
}

TEST(NotifyComposer, Utf8Check) {
    EXPECT_TRUE(IsValidUtf8("plain \xC3\xA4 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));              // cut sequence
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("a\xFF"));
}

TEST(NotifyComposer, ValidateLimitsAndControls) {
    Notification n{"error", "subject", "body\r\nmore", "a@example.test"};
    EXPECT_FALSE(Validate(n));
    n.body = "bell\a";
    EXPECT_TRUE(Validate(n));
    n.body = std::string(64 * 1024 + 1, 'x');
    EXPECT_TRUE(Validate(n));
    n.body = "ok";
    n.subject = "tab\tis fine";
    EXPECT_FALSE(Validate(n));
    n.subject = std::string(501, 's');
    EXPECT_TRUE(Validate(n));
}

TEST(NotifyComposer, SubjectEncoding) {
    EXPECT_EQ(EncodeSubject("Plain & simple #1"), "Plain & simple #1");
    EXPECT_EQ(EncodeSubject("\xC3\xA4"), "=?UTF-8?B?w6Q=?=");
    // A plain text that looks like an encoded word is encoded, so it is read back as written.
    EXPECT_EQ(EncodeSubject("=?UTF-8?B?w6Q=?=").rfind("=?UTF-8?B?PT9", 0), 0u);
    // Sequences are never split between two encoded words.
    std::string euros;
    for (int i = 0; i < 30; ++i) euros += "\xE2\x82\xAC";
    const std::string folded = EncodeSubject(euros);
    EXPECT_EQ(folded.find("=?UTF-8?B?4oKs"), 0u);
    EXPECT_NE(folded.find("\r\n =?UTF-8?B?4oKs"), std::string::npos);
}

TEST(NotifyComposer, ComposedMessageHasOneRecipientHeaderAndBase64Body) {
    const std::string m = Compose({"ok", "s", "hello", "a@example.test"}, "from@example.test");
    EXPECT_NE(m.find("\r\nTo: a@example.test\r\n"), std::string::npos);
    EXPECT_EQ(m.rfind("From: from@example.test\r\n", 0), 0u);
    EXPECT_NE(m.find("\r\n\r\naGVsbG8=\r\n"), std::string::npos);
}

TEST(NotifyConfig, CommandLineOverridesTheFile) {
    vtest::TempDir dir;
    vtest::WriteFile(dir / "n.conf",
                     "# relay\nsmtp = smtp://relay.example.test:587\n"
                     "tls = starttls\nuser = u\nport = 9000\n");
    vtest::WriteFile(dir / "pw", "secret\n");
    Config c;
    ASSERT_FALSE(ParseConfig(
        {"--config", dir / "n.conf", "--port", "9100", "--password-file", dir / "pw"}, c));
    EXPECT_EQ(c.smtpUrl, "smtp://relay.example.test:587");
    EXPECT_EQ(c.tls, Tls::StartTls);
    EXPECT_EQ(c.port, 9100);
    EXPECT_EQ(c.user, "u");
    EXPECT_EQ(c.password, "secret");
    EXPECT_EQ(c.listen, "127.0.0.1");
    EXPECT_TRUE(c.allowed.empty());
    // Neither an allow-list nor an owner: nobody may be notified.
    EXPECT_FALSE(RecipientAllowed(c, "anyone@anywhere.test"));
    ASSERT_FALSE(ParseConfig({"--owner", "Me@Example.test", "--rate", "5"}, c));
    EXPECT_TRUE(RecipientAllowed(c, "me@example.test"));
    EXPECT_FALSE(RecipientAllowed(c, "you@example.test"));
    EXPECT_EQ(c.mailsPerMinute, 5);
    ASSERT_FALSE(ParseConfig({"--allow", "Ops@Example.test, @print.example.test"}, c));
    EXPECT_TRUE(RecipientAllowed(c, "ops@example.test"));
    EXPECT_TRUE(RecipientAllowed(c, "Desk@PRINT.example.test"));
    EXPECT_FALSE(RecipientAllowed(c, "other@example.test"));
    EXPECT_FALSE(RecipientAllowed(c, "x@evil.print.example.test.other"));
    EXPECT_FALSE(RecipientAllowed(c, "ops@example.test.evil"));
    EXPECT_TRUE(ParseConfig({"--port", "0"}, c));
    EXPECT_TRUE(ParseConfig({"--tls", "maybe"}, c));
    EXPECT_TRUE(ParseConfig({"--nonsense", "1"}, c));
    EXPECT_TRUE(ParseConfig({"--port"}, c));
    EXPECT_TRUE(ParseConfig({"--password-file", dir / "absent"}, c));
    EXPECT_TRUE(ParseConfig({"--rate", "0"}, c));
    const auto onCommandLine = ParseConfig({"--password", "secret"}, c);
    ASSERT_TRUE(onCommandLine);
    EXPECT_NE(onCommandLine->find("--password-file"), std::string::npos) << *onCommandLine;
}

// The limit counts the last sixty seconds, not a calendar minute: a burst at the end of one
// minute does not get a second share at the start of the next.
TEST(RateLimit, AllowsSoManyInAnySixtySeconds) {
    vellora::notifyd::RateLimit rate(3);
    const auto t0 = vellora::notifyd::RateLimit::Clock::time_point{} + std::chrono::hours(1);
    using std::chrono::seconds;
    EXPECT_TRUE(rate.Take(t0));
    EXPECT_TRUE(rate.Take(t0 + seconds(50)));
    EXPECT_TRUE(rate.Take(t0 + seconds(59)));
    EXPECT_FALSE(rate.Take(t0 + seconds(59)));
    EXPECT_TRUE(rate.Take(t0 + seconds(60))) << "the first has left the window";
    EXPECT_FALSE(rate.Take(t0 + seconds(61)));
    EXPECT_TRUE(rate.Take(t0 + seconds(119)));
}

}  // namespace
