// An HTTP server on 127.0.0.1 that answers every request with a small body and counts the
// connections made to it: a page that must make no remote request must leave it at zero.
// It also keeps the first line of every request (which address was asked for).
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace vtest::html {

class CountingServer {
  public:
    CountingServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, 16) != 0) {
            throw std::runtime_error("counting server cannot listen");
        }
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~CountingServer() {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    int port() const { return port_; }
    int connections() const { return connections_; }
    void Reset() {
        connections_ = 0;
        std::lock_guard lock(mutex_);
        lines_.clear();
    }
    // "GET /path HTTP/1.1" of each request so far.
    std::vector<std::string> RequestLines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

  private:
    void Serve() {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            const int c = ::accept(fd_, nullptr, nullptr);
            if (c < 0) continue;
            ++connections_;
            char buffer[4096];
            pollfd r{c, POLLIN, 0};
            if (::poll(&r, 1, 500) > 0) {
                const ssize_t n = ::read(c, buffer, sizeof buffer);
                const std::string got(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
                std::lock_guard lock(mutex_);
                lines_.push_back(got.substr(0, got.find("\r\n")));
            }
            const std::string reply =
                "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 14\r\n"
                "Connection: close\r\n\r\nREMOTEMARKER\r\n";
            (void)::write(c, reply.data(), reply.size());
            ::close(c);
        }
    }
    int fd_ = -1;
    int port_ = 0;
    std::atomic<int> connections_{0};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    std::thread thread_;
};

}  // namespace vtest::html
