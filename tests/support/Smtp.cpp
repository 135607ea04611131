#include "tests/support/Smtp.h"

#include <sstream>
#include <stdexcept>

namespace vtest {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

bool IsMessageFolder(const std::string& name) {
    return name.rfind("msg-", 0) == 0;
}

}  // namespace

SmtpServer::SmtpServer(const Options& o) {
    port_ = FreeTcpPort();
    std::vector<std::string> argv = {"/usr/bin/python3",
                                     SourceDir() + "/tests/support/smtp_sink.py",
                                     "--port",
                                     std::to_string(port_),
                                     "--dir",
                                     dir_.path()};
    if (!o.rejectDomain.empty()) argv.insert(argv.end(), {"--reject-domain", o.rejectDomain});
    if (!o.user.empty()) argv.insert(argv.end(), {"--user", o.user, "--password", o.password});
    if (!o.certFile.empty()) {
        argv.insert(argv.end(), {"--tls-cert", o.certFile, "--tls-key", o.keyFile});
    }
    Process::Options po;
    po.stdoutFile = dir_ / "smtp.log";
    process_ = Process(argv, po);
    if (!WaitForTcpPort(port_, std::chrono::seconds(15))) {
        throw std::runtime_error("SMTP server did not start: " + ReadFile(dir_ / "smtp.log"));
    }
}

std::string SmtpServer::url() const {
    return "smtp://127.0.0.1:" + std::to_string(port_);
}

std::size_t SmtpServer::count() const {
    std::size_t n = 0;
    for (const auto& name : ListDir(dir_.path())) n += IsMessageFolder(name);
    return n;
}

std::vector<SmtpMessage> SmtpServer::messages() const {
    std::vector<SmtpMessage> out;
    for (const auto& name : ListDir(dir_.path())) {
        if (!IsMessageFolder(name)) continue;
        const std::string d = dir_ / name;
        SmtpMessage m;
        m.mailFrom = ReadFile(d + "/mailfrom");
        m.recipients = Lines(ReadFile(d + "/rcptto"));
        m.subject = ReadFile(d + "/subject");
        m.body = ReadFile(d + "/body");
        m.kind = ReadFile(d + "/kind");
        m.raw = ReadFile(d + "/raw.eml");
        out.push_back(std::move(m));
    }
    return out;
}

bool SmtpServer::waitForMessages(std::size_t n, std::chrono::milliseconds timeout) const {
    return WaitFor([&] { return count() >= n; }, timeout);
}

std::optional<SmtpMessage> SmtpServer::waitForMessage(std::chrono::milliseconds timeout) const {
    if (!waitForMessages(1, timeout)) return std::nullopt;
    return messages().front();
}

}  // namespace vtest
