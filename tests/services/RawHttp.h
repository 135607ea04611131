// A client that writes exactly the bytes a test gives it (hostile clients do not behave like
// libcurl) and reads whatever answer comes back, with time limits on both.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>

namespace vtest::raw {

inline int Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads until the peer closes or the time is up.
inline std::string ReadAll(int fd, std::chrono::milliseconds timeout) {
    std::string out;
    const auto end = std::chrono::steady_clock::now() + timeout;
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

struct Exchange {
    std::string answer;
    std::size_t sent = 0;  // bytes of the request the service took before it answered
    int status() const {
        return answer.size() > 12 && answer.rfind("HTTP/1.", 0) == 0
                   ? std::stoi(answer.substr(9, 3))
                   : 0;
    }
};

// Sends `head`, then `body` (repeated `times`), stopping as soon as an answer arrives or the
// service stops taking bytes; then reads the answer.
inline Exchange Send(int port, const std::string& head, const std::string& body = {},
                     std::size_t times = 1,
                     std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    Exchange x;
    const int fd = Connect(port);
    if (fd < 0) return x;
    const std::string first = head + (times > 0 ? body : std::string());
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    const auto end = std::chrono::steady_clock::now() + timeout;
    std::size_t round = 0, offset = 0;
    const std::string* piece = &first;
    const std::size_t pieces = times > 0 ? times : 1;
    while (round < pieces && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN | POLLOUT, 0};
        if (::poll(&p, 1, 200) <= 0) continue;
        if (p.revents & (POLLIN | POLLERR | POLLHUP)) break;  // answered (or cut off)
        const ssize_t n = ::send(fd, piece->data() + offset, piece->size() - offset, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EAGAIN) continue;
            break;
        }
        offset += static_cast<std::size_t>(n);
        x.sent += static_cast<std::size_t>(n);
        if (offset == piece->size()) {
            ++round;
            offset = 0;
            piece = &body;
        }
    }
    ::fcntl(fd, F_SETFL, 0);
    x.answer = ReadAll(fd, std::chrono::duration_cast<std::chrono::milliseconds>(
                               end - std::chrono::steady_clock::now()));
    ::close(fd);
    return x;
}

// The service's peak resident memory (VmHWM) in kB.
inline long PeakKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

}  // namespace vtest::raw
