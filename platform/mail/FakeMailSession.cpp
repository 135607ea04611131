#include "platform/mail/FakeMailSession.h"

#include <algorithm>

namespace vellora::mail {

void FakeMailSession::AddMessage(const std::string& id, const std::string& raw) {
    messages_.push_back({id, raw});
}

int FakeMailSession::CountOf(const std::string& operation) const {
    return static_cast<int>(std::count_if(calls_.begin(), calls_.end(), [&](const auto& c) {
        return c == operation || c.rfind(operation + "(", 0) == 0;
    }));
}

void FakeMailSession::Reset() {
    calls_.push_back("Reset");
    imap_ = ssl_ = ntlm_ = loggedIn_ = false;
    port_ = 0;
}

void FakeMailSession::SetImap(bool imap) {
    calls_.push_back("SetImap(" + std::to_string(imap ? 1 : 0) + ")");
    imap_ = imap;
}

void FakeMailSession::SetPort(std::int32_t port) {
    calls_.push_back("SetPort(" + std::to_string(port) + ")");
    port_ = port;
}

std::int32_t FakeMailSession::InitSsl() {
    calls_.push_back("InitSsl");
    ssl_ = sslCode_ == kOk;
    return sslCode_;
}

void FakeMailSession::SetNtlm(bool ntlm) {
    calls_.push_back("SetNtlm(" + std::to_string(ntlm ? 1 : 0) + ")");
    ntlm_ = ntlm;
}

std::int32_t FakeMailSession::Login(const std::string& server, const std::string& user,
                                    const std::string& password) {
    calls_.push_back("Login(" + server + "," + user + "," + password + ")");
    loggedIn_ = loginCode_ == kOk;
    return loginCode_;
}

std::int32_t FakeMailSession::LoginEncrypted(const std::string& server, const std::string& user,
                                             const std::string& password) {
    calls_.push_back("LoginEncrypted(" + server + "," + user + "," + password + ")");
    loggedIn_ = loginCode_ == kOk;
    return loginCode_;
}

std::int32_t FakeMailSession::MessageCount() {
    calls_.push_back("MessageCount");
    return loggedIn_ ? static_cast<std::int32_t>(messages_.size()) : -1;
}

std::string FakeMailSession::MessageId(std::int32_t index) {
    calls_.push_back("MessageId(" + std::to_string(index) + ")");
    if (!loggedIn_ || index < 1 || static_cast<std::size_t>(index) > messages_.size()) return {};
    return messages_[index - 1].id;
}

std::string FakeMailSession::Retrieve(std::int32_t index) {
    calls_.push_back("Retrieve(" + std::to_string(index) + ")");
    if (!loggedIn_ || index < 1 || static_cast<std::size_t>(index) > messages_.size()) return {};
    if (failing_.count(index)) return {};
    return messages_[index - 1].raw;
}

void FakeMailSession::Close() {
    calls_.push_back("Close");
    loggedIn_ = false;
}

void FakeMailSession::SetOption(bool on) {
    calls_.push_back("SetOption(" + std::to_string(on ? 1 : 0) + ")");
}

}  // namespace vellora::mail
