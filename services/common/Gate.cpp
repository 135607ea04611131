#include "services/common/Gate.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "services/common/GateTexts.h"

namespace vellora::service {
namespace {

namespace t = gate::texts;
constexpr std::size_t kChunk = 64 * 1024;
constexpr std::size_t kMaxDiscard = 1024 * 1024;
constexpr auto kLinger = std::chrono::seconds(1);

std::string Phrase(int status) {
    switch (status) {
        case 400:
            return VL("Bad Request");
        case 403:
            return VL("Forbidden");
        case 408:
            return VL("Request Timeout");
        case 413:
            return VL("Payload Too Large");
        case 415:
            return VL("Unsupported Media Type");
        case 417:
            return VL("Expectation Failed");
        case 421:
            return VL("Misdirected Request");
        case 431:
            return VL("Request Header Fields Too Large");
        case 501:
            return VL("Not Implemented");
        case 503:
            return VL("Service Unavailable");
        default:
            return VL("Internal Server Error");
    }
}

// The address and port of either end of a connected socket.
void Address(int fd, bool local, std::string& address, int& port) {
    sockaddr_storage ss{};
    socklen_t len = sizeof ss;
    const int rc = local ? ::getsockname(fd, reinterpret_cast<sockaddr*>(&ss), &len)
                         : ::getpeername(fd, reinterpret_cast<sockaddr*>(&ss), &len);
    if (rc != 0) return;
    char text[INET6_ADDRSTRLEN] = {};
    if (ss.ss_family == AF_INET) {
        const auto* a = reinterpret_cast<sockaddr_in*>(&ss);
        ::inet_ntop(AF_INET, &a->sin_addr, text, sizeof text);
        port = ntohs(a->sin_port);
    } else if (ss.ss_family == AF_INET6) {
        const auto* a = reinterpret_cast<sockaddr_in6*>(&ss);
        ::inet_ntop(AF_INET6, &a->sin6_addr, text, sizeof text);
        port = ntohs(a->sin6_port);
    }
    address = text;
}

}  // namespace

std::string TextAnswer(int status, const std::string& text) {
    const std::string body = text + "\n";
    return VL("HTTP/1.1 ") + std::to_string(status) + " " + Phrase(status) +
           VL("\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: ") +
           std::to_string(body.size()) + VL("\r\nConnection: close\r\n\r\n") + body;
}

Gate::Gate(GateOptions options, RequestHandler handler)
    : options_(std::move(options)), handler_(std::move(handler)) {
    if (options_.budget == 0) options_.budget = 2 * options_.maxBody + 1024 * 1024;
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

Gate::~Gate() {
    Stop();
    for (auto& w : workers_) {
        if (w.joinable()) w.join();
    }
    for (auto& [id, c] : connections_) {
        if (c.fd >= 0) ::close(c.fd);
    }
    if (listenFd_ >= 0) ::close(listenFd_);
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool Gate::Bind() {
    const bool six = options_.listen.find(':') != std::string::npos;
    listenFd_ = ::socket(six ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) return false;
    const int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_storage ss{};
    socklen_t len = 0;
    if (six) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&ss);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(static_cast<uint16_t>(options_.port));
        if (::inet_pton(AF_INET6, options_.listen.c_str(), &a->sin6_addr) != 1) return false;
        len = sizeof *a;
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&ss);
        a->sin_family = AF_INET;
        a->sin_port = htons(static_cast<uint16_t>(options_.port));
        if (::inet_pton(AF_INET, options_.listen.c_str(), &a->sin_addr) != 1) return false;
        len = sizeof *a;
    }
    return ::bind(listenFd_, reinterpret_cast<sockaddr*>(&ss), len) == 0 &&
           ::listen(listenFd_, 128) == 0;
}

void Gate::Stop() {
    stopping_ = true;
    work_.notify_all();
    Wake();
}

void Gate::Wake() {
    const std::uint64_t one = 1;
    if (wakeFd_ >= 0) (void)!::write(wakeFd_, &one, sizeof one);
}

void Gate::Run() {
    for (int i = 0; i < std::max(1, options_.workers); ++i)
        workers_.emplace_back([this] { Work(); });
    std::vector<pollfd> fds;
    std::vector<std::uint64_t> ids;
    while (!stopping_) {
        fds.clear();
        ids.clear();
        fds.push_back({wakeFd_, POLLIN, 0});
        const bool room = static_cast<int>(connections_.size()) < options_.maxConnections;
        fds.push_back({listenFd_, static_cast<short>(room ? POLLIN : 0), 0});
        auto next = Clock::now() + std::chrono::seconds(1);
        for (auto& [id, c] : connections_) {
            if (c.fd < 0) continue;
            short events = 0;
            if (c.phase == Phase::Reading && held_ < options_.budget) events = POLLIN;
            if (c.phase == Phase::Writing) events = POLLOUT;
            if (c.phase == Phase::Lingering) events = POLLIN;
            if (c.phase != Phase::Working) next = std::min(next, c.deadline);
            fds.push_back({c.fd, events, 0});
            ids.push_back(id);
        }
        const auto wait =
            std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now());
        ::poll(fds.data(), fds.size(),
               static_cast<int>(std::clamp<long>(wait.count() + 1, 0, 1000)));
        if (fds[0].revents & POLLIN) {
            std::uint64_t count = 0;
            (void)!::read(wakeFd_, &count, sizeof count);
            TakeResults();
        }
        if (fds[1].revents & POLLIN) Accept();
        for (std::size_t i = 2; i < fds.size(); ++i) {
            auto it = connections_.find(ids[i - 2]);
            if (it == connections_.end() || fds[i].revents == 0) continue;
            Connection& c = it->second;
            if (c.phase == Phase::Reading)
                ReadFrom(c);
            else if (c.phase == Phase::Writing)
                WriteTo(c);
            else if (c.phase == Phase::Lingering)
                Linger(c);
        }
        const auto now = Clock::now();
        std::vector<std::uint64_t> all;
        for (const auto& [id, c] : connections_) all.push_back(id);
        for (auto id : all) {
            auto it = connections_.find(id);
            if (it != connections_.end()) Expire(it->second, now);
        }
    }
    // The handlers use what their service owns: they end before Run returns.
    work_.notify_all();
    for (auto& w : workers_) {
        if (w.joinable()) w.join();
    }
}

void Gate::Accept() {
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        Peer peer;
        Address(fd, false, peer.remoteAddress, peer.remotePort);
        Address(fd, true, peer.localAddress, peer.localPort);
        if (static_cast<int>(connections_.size()) >= options_.maxConnections) {
            const std::string busy = TextAnswer(503, options_.errorWord + " " + t::kBusy.str());
            (void)!::send(fd, busy.data(), busy.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            ::close(fd);
            continue;
        }
        HostPolicy policy{peer.localAddress, options_.port, options_.hostNames};
        const std::uint64_t id = nextId_++;
        connections_.emplace(id, Connection(id, fd, peer, RequestReader(options_.maxBody, policy),
                                            Clock::now() + options_.requestTime));
    }
}

void Gate::ReadFrom(Connection& c) {
    char buffer[kChunk];
    for (int round = 0; round < 16 && c.phase == Phase::Reading; ++round) {
        const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (n <= 0) {
            // The client has gone (or half-closed before its request was complete).
            ::close(c.fd);
            c.fd = -1;
            Release(c);
            c.phase = Phase::Lingering;
            c.deadline = Clock::now();
            return;
        }
        const auto state = c.reader.Feed(buffer, static_cast<std::size_t>(n));
        const std::size_t held = c.reader.Held();
        held_ = held_ - c.held + held;
        c.held = held;
        if (state == RequestReader::State::Refused) return Refuse(c, c.reader.GetRefusal());
        if (c.reader.TakeContinue()) {
            const std::string go = VL("HTTP/1.1 100 Continue\r\n\r\n");
            (void)!::send(c.fd, go.data(), go.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        if (state == RequestReader::State::Complete) {
            c.phase = Phase::Working;
            {
                std::lock_guard lock(mutex_);
                jobs_.push_back({c.id, c.reader.TakeRequest(), c.peer});
            }
            work_.notify_one();
            return;
        }
    }
}

void Gate::Refuse(Connection& c, const Refusal& refusal) {
    if (options_.log) {
        const ParsedRequest& r = c.reader.Request();
        options_.log(c.peer.remoteAddress + " " + (r.method.empty() ? "-" : r.method) + " " +
                     (r.target.empty() ? "-" : r.target.substr(0, 200)) + " " +
                     std::to_string(refusal.status) + " " + options_.errorWord + " " +
                     refusal.reason);
    }
    Release(c);
    Answer(c, TextAnswer(refusal.status, options_.errorWord + " " + refusal.reason));
}

void Gate::Answer(Connection& c, std::string answer) {
    c.out = std::move(answer);
    c.sent = 0;
    c.phase = Phase::Writing;
    c.deadline = Clock::now() + std::max<std::chrono::milliseconds>(options_.requestTime,
                                                                    std::chrono::seconds(10));
    WriteTo(c);
}

void Gate::WriteTo(Connection& c) {
    while (c.sent < c.out.size()) {
        const ssize_t n = ::send(c.fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (n <= 0) {
            c.deadline = Clock::now();  // the client has gone: closed at the next look
            c.phase = Phase::Lingering;
            return;
        }
        c.sent += static_cast<std::size_t>(n);
    }
    // Answered. What the client may still be sending is read and dropped for a moment, so
    // that closing does not reset the connection before it has read the answer.
    std::string().swap(c.out);
    ::shutdown(c.fd, SHUT_WR);
    c.phase = Phase::Lingering;
    c.deadline = Clock::now() + kLinger;
}

void Gate::Linger(Connection& c) {
    char buffer[kChunk];
    const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    c.discarded += n > 0 ? static_cast<std::size_t>(n) : 0;
    if (n <= 0 || c.discarded > kMaxDiscard) c.deadline = Clock::now();
}

void Gate::Expire(Connection& c, Clock::time_point now) {
    if (c.phase == Phase::Working || now < c.deadline) return;
    if (c.phase == Phase::Reading) {
        return Refuse(c, {408, t::kTimedOut.str()});
    }
    Close(c.id);
}

void Gate::Close(std::uint64_t id) {
    auto it = connections_.find(id);
    if (it == connections_.end()) return;
    if (it->second.fd >= 0) ::close(it->second.fd);
    Release(it->second);
    connections_.erase(it);
}

void Gate::Release(Connection& c) {
    held_ -= std::min(held_, c.held);
    c.held = 0;
}

void Gate::TakeResults() {
    std::vector<std::pair<std::uint64_t, std::string>> done;
    {
        std::lock_guard lock(mutex_);
        done.swap(results_);
    }
    for (auto& [id, answer] : done) {
        auto it = connections_.find(id);
        if (it == connections_.end()) continue;
        Release(it->second);
        if (it->second.fd < 0) {
            Close(id);
            continue;
        }
        Answer(it->second, std::move(answer));
    }
}

void Gate::Work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            work_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;  // requests not begun are dropped with their connections
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        std::string answer;
        try {
            answer = handler_(std::move(job.request), job.peer);
        } catch (const std::exception&) {
            answer = TextAnswer(500, options_.errorWord);
        }
        {
            std::lock_guard lock(mutex_);
            results_.emplace_back(job.id, std::move(answer));
        }
        Wake();
    }
}

}  // namespace vellora::service
