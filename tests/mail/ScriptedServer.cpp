#include "tests/mail/ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace vtest {
namespace {
constexpr int kStep = 50;  // ms between looks at the stop flag
}

void ScriptedConnection::Send(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = send(fd_, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

bool ScriptedConnection::ReadLine(std::string& line, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto end = buffer_.find("\r\n");
        if (end != std::string::npos) {
            line = buffer_.substr(0, end);
            buffer_.erase(0, end + 2);
            return true;
        }
        if (stopping_ || std::chrono::steady_clock::now() >= deadline) return false;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, kStep) <= 0) continue;
        char chunk[4096];
        const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        buffer_.append(chunk, static_cast<std::size_t>(n));
    }
}

void ScriptedConnection::Stall(std::chrono::milliseconds atMost) {
    const auto deadline = std::chrono::steady_clock::now() + atMost;
    while (!stopping_ && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, kStep) <= 0) continue;
        char chunk[4096];
        if (recv(fd_, chunk, sizeof chunk, 0) <= 0) return;  // the client hung up
    }
}

ScriptedServer::ScriptedServer(Script script) : script_(std::move(script)) {
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        listen(listenFd_, 8) != 0) {
        close(listenFd_);
        throw std::runtime_error("scripted server: cannot listen");
    }
    socklen_t len = sizeof a;
    getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Loop(); });
}

ScriptedServer::~ScriptedServer() {
    stopping_ = true;
    thread_.join();
    close(listenFd_);
}

void ScriptedServer::Loop() {
    while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (poll(&p, 1, kStep) <= 0) continue;
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++connections_;
        ScriptedConnection connection(fd, stopping_);
        script_(connection);
        close(fd);
    }
}

void ScriptedImap(ScriptedConnection& c, const ImapHandler& after) {
    c.Send("* OK ready\r\n");
    std::string line;
    while (c.ReadLine(line)) {
        const auto space = line.find(' ');
        if (space == std::string::npos) return;
        const std::string tag = line.substr(0, space), command = line.substr(space + 1);
        bool stop = false;
        if (command == "CAPABILITY") {
            c.Send("* CAPABILITY IMAP4rev1 AUTH=PLAIN\r\n" + tag + " OK done\r\n");
        } else if (command == "AUTHENTICATE PLAIN") {
            c.Send("+ \r\n");
            if (!c.ReadLine(line)) return;
            c.Send(tag + " OK logged in\r\n");
        } else if (after && after(c, tag, command, stop)) {
            if (stop) return;
        } else if (command == "SELECT INBOX") {
            c.Send("* 1 EXISTS\r\n* OK [UIDVALIDITY 5] ok\r\n" + tag + " OK [READ-WRITE] done\r\n");
        } else if (command.rfind("FETCH 1:1 (UID)", 0) == 0) {
            c.Send("* 1 FETCH (UID 7)\r\n" + tag + " OK done\r\n");
        } else if (command == "UID FETCH 7 (FLAGS)") {
            c.Send("* 1 FETCH (UID 7 FLAGS ())\r\n" + tag + " OK done\r\n");
        } else if (command == "LOGOUT") {
            c.Send("* BYE\r\n" + tag + " OK bye\r\n");
            return;
        } else {
            c.Send(tag + " OK done\r\n");
        }
    }
}

}  // namespace vtest
