// The scripted mailbox behaves like a session, so tests of the mail check can rely on it.
#include "platform/mail/FakeMailSession.h"

#include <gtest/gtest.h>

namespace {
using namespace vellora::mail;

TEST(FakeMailSession, AnswersFromItsScriptAfterALogin) {
    FakeMailSession fake;
    fake.AddMessage("17", "raw 1");
    fake.AddMessage("18", "raw 2");
    fake.FailRetrieve(2);
    EXPECT_EQ(fake.MessageCount(), -1);
    EXPECT_EQ(fake.Retrieve(1), "");
    fake.Reset();
    fake.SetImap(true);
    fake.SetPort(993);
    EXPECT_EQ(fake.InitSsl(), kOk);
    fake.SetNtlm(false);
    ASSERT_EQ(fake.Login("h", "u", "p"), kOk);
    EXPECT_EQ(fake.MessageCount(), 2);
    EXPECT_EQ(fake.MessageId(2), "18");
    EXPECT_EQ(fake.MessageId(3), "");
    EXPECT_EQ(fake.Retrieve(1), "raw 1");
    EXPECT_EQ(fake.Retrieve(2), "");
    fake.Close();
    EXPECT_FALSE(fake.loggedIn());
    EXPECT_EQ(fake.CountOf("Retrieve"), 3);
    EXPECT_EQ(fake.CountOf("Login"), 1);
    EXPECT_TRUE(fake.imap());
    EXPECT_EQ(fake.port(), 993);
    EXPECT_EQ(fake.Calls()[3], "SetImap(1)");
    EXPECT_EQ(fake.Calls()[7], "Login(h,u,p)");
}

TEST(FakeMailSession, ScriptedFailures) {
    FakeMailSession fake;
    fake.AddMessage("1", "x");
    fake.SetSslCode(kTlsFailed);
    EXPECT_EQ(fake.InitSsl(), kTlsFailed);
    fake.SetLoginCode(kLoginRefused);
    EXPECT_EQ(fake.LoginEncrypted("h", "u", "p"), kLoginRefused);
    EXPECT_EQ(fake.MessageCount(), -1);
    EXPECT_EQ(fake.Calls().back(), "MessageCount");
}

}  // namespace
