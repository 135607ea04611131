// A scripted mailbox for unit tests of the logic above the mail component (mail check, rules,
// account test). The test fills in the messages, ids and result codes; the fake answers from
// them and records every call in order, so a test can check what the caller did.
//
//   vellora::mail::FakeMailSession fake;
//   fake.AddMessage("17", rawText);            // index 1, id "17"
//   fake.AddMessage("18", other);              // index 2
//   fake.SetLoginCode(vellora::mail::kOk);
//   fake.FailRetrieve(2);                      // Retrieve(2) gives ""
//   ... run the code under test with `fake` as its MailSession ...
//   EXPECT_EQ(fake.Calls()[0], "Reset");
//   EXPECT_EQ(fake.CountOf("Retrieve"), 2);
//
// Recorded calls: "Reset", "SetImap(1)", "SetPort(995)", "InitSsl", "SetNtlm(0)",
// "Login(server,user,password)", "LoginEncrypted(server,user,password)", "MessageCount",
// "MessageId(3)", "Retrieve(3)", "Close", "SetOption(0)".
// MessageCount, MessageId and Retrieve answer only after a successful login (else -1 / "");
// Reset and Close end the login but keep the scripted mailbox.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/mail/MailSession.h"

namespace vellora::mail {

class FakeMailSession : public MailSession {
  public:
    // Script.
    void AddMessage(const std::string& id, const std::string& raw);
    void ClearMessages() { messages_.clear(); }
    void SetLoginCode(std::int32_t code) { loginCode_ = code; }  // for both logins
    void SetSslCode(std::int32_t code) { sslCode_ = code; }
    void FailRetrieve(int index) { failing_.insert(index); }  // 1-based

    // What the caller did.
    const std::vector<std::string>& Calls() const { return calls_; }
    int CountOf(const std::string& operation) const;  // calls whose name is `operation`
    void ClearCalls() { calls_.clear(); }
    bool imap() const { return imap_; }
    std::int32_t port() const { return port_; }
    bool ssl() const { return ssl_; }
    bool ntlm() const { return ntlm_; }
    bool loggedIn() const { return loggedIn_; }

    // MailSession.
    void Reset() override;
    void SetImap(bool imap) override;
    void SetPort(std::int32_t port) override;
    std::int32_t InitSsl() override;
    void SetNtlm(bool ntlm) override;
    std::int32_t Login(const std::string& server, const std::string& user,
                       const std::string& password) override;
    std::int32_t LoginEncrypted(const std::string& server, const std::string& user,
                                const std::string& password) override;
    std::int32_t MessageCount() override;
    std::string MessageId(std::int32_t index) override;
    std::string Retrieve(std::int32_t index) override;
    void Close() override;
    void SetOption(bool on) override;

  private:
    struct Message {
        std::string id, raw;
    };
    std::vector<Message> messages_;
    std::set<int> failing_;
    std::vector<std::string> calls_;
    std::int32_t loginCode_ = kOk, sslCode_ = kOk, port_ = 0;
    bool imap_ = false, ssl_ = false, ntlm_ = false, loggedIn_ = false;
};

}  // namespace vellora::mail
