// The front of both services: it accepts the connections and reads each request whole,
// under one deadline for the whole request (a client that sends a byte now and then is cut
// off, it never holds a worker), through the RequestReader's checks, within a budget of
// bytes held at once; only a complete, checked request reaches a worker, which turns it into
// the whole answer. Answers are written by the front, never by a worker, so a client that
// does not read holds nothing but its own buffer. One request per connection.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "services/common/RequestReader.h"

namespace vellora::service {

struct Peer {
    std::string remoteAddress, localAddress;
    int remotePort = 0, localPort = 0;
};

struct GateOptions {
    std::string listen = "127.0.0.1";
    int port = 0;
    std::size_t maxBody = 64 * 1024;
    // From the connection's accept to the request's last byte.
    std::chrono::milliseconds requestTime = std::chrono::seconds(10);
    std::vector<std::string> hostNames;  // names it answers for beyond its own address
    int workers = 4;
    int maxConnections = 128;
    // Bytes of requests held at once (heads and bodies); 0: twice the largest body + 1 MiB.
    std::size_t budget = 0;
    std::string errorWord = "ERROR";              // the refusals' answers begin with it
    std::function<void(const std::string&)> log;  // one line per refused request
};

// The whole answer (status line, headers, body) to one complete, checked request.
using RequestHandler = std::function<std::string(ParsedRequest&&, const Peer&)>;

// A plain-text answer that closes the connection.
std::string TextAnswer(int status, const std::string& text);

class Gate {
  public:
    Gate(GateOptions options, RequestHandler handler);
    ~Gate();
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;

    bool Bind();  // false when it cannot listen on the address and port
    void Run();   // serves until Stop; returns once the running handlers have ended
    void Stop();  // from any thread

  private:
    using Clock = std::chrono::steady_clock;
    enum class Phase { Reading, Working, Writing, Lingering };
    struct Connection {
        Connection(std::uint64_t i, int f, Peer p, RequestReader r, Clock::time_point d)
            : id(i), fd(f), peer(std::move(p)), reader(std::move(r)), deadline(d) {}
        std::uint64_t id;
        int fd;
        Peer peer;
        RequestReader reader;
        Clock::time_point deadline;  // of the phase it is in
        Phase phase = Phase::Reading;
        std::string out;  // the answer, or an interim "100 Continue"
        std::size_t sent = 0;
        std::size_t held = 0;  // counted in the gate's budget
        std::size_t discarded = 0;
    };

    void Accept();
    void ReadFrom(Connection& c);
    void WriteTo(Connection& c);
    void Linger(Connection& c);
    void Refuse(Connection& c, const Refusal& refusal);
    void Answer(Connection& c, std::string answer);
    void TakeResults();
    void Expire(Connection& c, Clock::time_point now);
    void Close(std::uint64_t id);
    void Work();
    void Release(Connection& c);
    void Wake();

    GateOptions options_;
    RequestHandler handler_;
    int listenFd_ = -1;
    int wakeFd_ = -1;
    std::atomic<bool> stopping_{false};
    std::map<std::uint64_t, Connection> connections_;
    std::uint64_t nextId_ = 1;
    std::size_t held_ = 0;  // bytes of requests held by connections and workers

    struct Job {
        std::uint64_t id;
        ParsedRequest request;
        Peer peer;
    };
    std::mutex mutex_;
    std::condition_variable work_;
    std::deque<Job> jobs_;
    std::vector<std::pair<std::uint64_t, std::string>> results_;
    std::vector<std::thread> workers_;
};

}  // namespace vellora::service
