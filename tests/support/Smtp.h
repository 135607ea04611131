// A private SMTP server for tests (python3-aiosmtpd, a real SMTP implementation) on
// 127.0.0.1, keeping every message it accepts so a test can read it back.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace vtest {

struct SmtpMessage {
    std::string mailFrom;
    std::vector<std::string> recipients;  // the envelope's RCPT TO addresses
    std::string subject;                  // decoded (RFC 2047)
    std::string body;                     // the decoded text of the plain-text part
    std::string kind;                     // the X-Vellora-Kind header, decoded
    std::string raw;                      // the message as it arrived
};

class SmtpServer {
  public:
    struct Options {
        std::string rejectDomain;    // RCPT TO any address at this domain gets a 550
        std::string user, password;  // when set, AUTH is required and checked
        // When set, STARTTLS is offered with this certificate and required before MAIL.
        std::string certFile, keyFile;
    };
    SmtpServer() : SmtpServer(Options{}) {}
    explicit SmtpServer(const Options& options);
    ~SmtpServer() { stop(); }
    SmtpServer(const SmtpServer&) = delete;
    SmtpServer& operator=(const SmtpServer&) = delete;

    int port() const { return port_; }
    std::string url() const;  // smtp://127.0.0.1:<port>
    pid_t pid() const { return process_.pid(); }

    // Every message received so far, oldest first.
    std::vector<SmtpMessage> messages() const;
    std::size_t count() const;
    // Waits until at least n messages have arrived; false on time-out.
    bool waitForMessages(std::size_t n,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // The first message, once it has arrived.
    std::optional<SmtpMessage> waitForMessage(
        std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

    void stop() { process_.stop(); }

  private:
    TempDir dir_{"smtp"};
    int port_ = 0;
    Process process_;
};

}  // namespace vtest
