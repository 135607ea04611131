#include "tests/accounts/LocalNet.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace vtest {

std::string EnterPrivateNetwork() {
    if (unshare(CLONE_NEWNET) != 0) return std::string("unshare: ") + std::strerror(errno);
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return std::string("socket: ") + std::strerror(errno);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    std::string error;
    if (ioctl(fd, SIOCGIFFLAGS, &request) != 0) {
        error = std::string("SIOCGIFFLAGS: ") + std::strerror(errno);
    } else {
        request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
        if (ioctl(fd, SIOCSIFFLAGS, &request) != 0) {
            error = std::string("SIOCSIFFLAGS: ") + std::strerror(errno);
        }
    }
    close(fd);
    return error;
}

namespace {
sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}
}  // namespace

TcpRelay::TcpRelay(int listenPort, int targetPort) : targetPort_(targetPort) {
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in a = Loopback(listenPort);
    if (bind(listenFd_, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
        listen(listenFd_, 16) != 0) {
        const std::string why = std::strerror(errno);
        close(listenFd_);
        throw std::runtime_error("relay on port " + std::to_string(listenPort) + ": " + why);
    }
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

TcpRelay::~TcpRelay() {
    stop_ = true;
    acceptor_.join();
    close(listenFd_);
    for (std::thread& t : pipes_) t.join();
}

void TcpRelay::AcceptLoop() {
    while (!stop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        const int client = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        const int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in a = Loopback(targetPort_);
        if (connect(server, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
            close(client);
            close(server);
            continue;
        }
        pipes_.emplace_back([this, client, server] {
            Pipe(client, server);
            close(client);
            close(server);
        });
    }
}

// Both directions in one loop; ends when either side closes or the relay stops.
void TcpRelay::Pipe(int a, int b) {
    char buf[16384];
    while (!stop_) {
        pollfd p[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
        const int n = poll(p, 2, 100);
        if (n < 0 && errno != EINTR) return;
        for (int i = 0; i < 2; ++i) {
            if (!(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t got = read(p[i].fd, buf, sizeof buf);
            if (got <= 0) return;
            ssize_t sent = 0;
            while (sent < got) {
                const ssize_t w =
                    write(i == 0 ? b : a, buf + sent, static_cast<size_t>(got - sent));
                if (w <= 0) return;
                sent += w;
            }
        }
    }
}

}  // namespace vtest
