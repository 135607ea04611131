#include "platform/oauth/LoopbackListener.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/oauth/OAuthTexts.h"

namespace vellora::oauth {
namespace {

constexpr std::size_t kMaxRequestBytes = 16 * 1024;
constexpr std::size_t kMaxConnections = 16;
constexpr auto kConnectionTime = std::chrono::seconds(10);

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

std::string StatusText(int status) {
    switch (status) {
        case 200:
            return VL("OK");
        case 400:
            return VL("Bad Request");
        case 404:
            return VL("Not Found");
        default:
            return VL("Error");
    }
}

// Writes everything or gives up after a short wait: the page is a courtesy to the user.
void WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, 2000) <= 0) return;
        const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

LoopbackListener::~LoopbackListener() {
    Close();
}

bool LoopbackListener::Open(std::string* error) {
    Close();
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = 0;  // the system picks a free port
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 8) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
        if (error) *error = std::strerror(errno);
        Close();
        return false;
    }
    port_ = ntohs(addr.sin_port);
    return true;
}

void LoopbackListener::Close() {
    for (auto& p : pending_) CloseFd(p.fd);
    pending_.clear();
    CloseFd(listenFd_);
    port_ = 0;
}

void LoopbackListener::AcceptAll() {
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        if (pending_.size() >= kMaxConnections) {
            ::close(fd);
            continue;
        }
        pending_.push_back({fd, {}, std::chrono::steady_clock::now() + kConnectionTime});
    }
}

void LoopbackListener::DropExpired() {
    const auto now = std::chrono::steady_clock::now();
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->deadline <= now) {
            CloseFd(it->fd);
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
}

// Reads what arrived; a request is whole when its header ends with an empty line.
std::optional<LoopbackRequest> LoopbackListener::ReadFrom(Pending& p, bool& drop) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(p.fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            p.data.append(buffer, static_cast<std::size_t>(n));
            if (p.data.size() > kMaxRequestBytes) {
                drop = true;
                return std::nullopt;
            }
            continue;
        }
        if (n == 0) drop = p.data.find(VL("\r\n\r\n")) == std::string::npos;
        break;
    }
    const auto end = p.data.find(VL("\r\n\r\n"));
    if (end == std::string::npos) return std::nullopt;
    LoopbackRequest r;
    r.connection = p.fd;
    const std::string line = p.data.substr(0, p.data.find(VL("\r\n")));
    const auto first = line.find(' ');
    const auto second = line.find(' ', first == std::string::npos ? first : first + 1);
    if (first != std::string::npos) r.method = line.substr(0, first);
    std::string target = first == std::string::npos || second == std::string::npos
                             ? std::string()
                             : line.substr(first + 1, second - first - 1);
    const auto q = target.find('?');
    r.path = target.substr(0, q);
    if (q != std::string::npos) r.query = target.substr(q + 1);
    p.fd = -1;  // the request owns the connection now
    drop = true;
    return r;
}

std::optional<LoopbackRequest> LoopbackListener::Next(std::chrono::milliseconds wait) {
    if (listenFd_ < 0) return std::nullopt;
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        DropExpired();
        std::vector<pollfd> fds;
        fds.push_back({listenFd_, POLLIN, 0});
        for (const auto& p : pending_) fds.push_back({p.fd, POLLIN, 0});
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        const int timeout =
            static_cast<int>(std::max<long long>(0, std::min<long long>(left.count(), 200)));
        const int ready = ::poll(fds.data(), fds.size(), timeout);
        if (ready > 0) {
            for (std::size_t i = 1; i < fds.size(); ++i) {
                if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
                Pending& p = pending_[i - 1];
                bool drop = false;
                auto request = ReadFrom(p, drop);
                if (drop) CloseFd(p.fd);
                if (request) {
                    std::erase_if(pending_, [](const Pending& x) { return x.fd < 0; });
                    return request;
                }
            }
            std::erase_if(pending_, [](const Pending& x) { return x.fd < 0; });
            if (fds[0].revents & POLLIN) AcceptAll();
        }
        if (std::chrono::steady_clock::now() >= until) return std::nullopt;
    }
}

void LoopbackListener::Respond(LoopbackRequest& request, int status, const std::string& html) {
    if (request.connection < 0) return;
    const std::string head = VL("HTTP/1.1 ") + std::to_string(status) + ' ' + StatusText(status) +
                             VL("\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: ") +
                             std::to_string(html.size()) +
                             VL("\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n");
    WriteAll(request.connection, head + html);
    ::shutdown(request.connection, SHUT_WR);
    CloseFd(request.connection);
}

}  // namespace vellora::oauth
