// The loopback end of a desktop sign-in (RFC 8252 section 7.3): a listening socket on
// 127.0.0.1 at a port the system picks, which takes the browser's one request carrying the
// provider's answer. Several connections are served side by side, so a browser that opens a
// spare connection and sends nothing cannot hold up the real request. The port is closed when
// the listener is closed or destroyed.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace vellora::oauth {

struct LoopbackRequest {
    int connection = -1;  // answered and closed by Respond
    std::string method;
    std::string path;   // without the query
    std::string query;  // without the "?"
};

class LoopbackListener {
  public:
    LoopbackListener() = default;
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    // Listens on 127.0.0.1 at a free port; false with *error set when it cannot.
    bool Open(std::string* error);
    int Port() const { return port_; }
    // Stops listening and drops every connection not yet answered.
    void Close();

    // Waits up to `wait` for one whole request line and header. Nothing on time-out.
    std::optional<LoopbackRequest> Next(std::chrono::milliseconds wait);
    // Sends a small HTML page with this status and closes the request's connection.
    void Respond(LoopbackRequest& request, int status, const std::string& html);

  private:
    struct Pending {
        int fd = -1;
        std::string data;
        std::chrono::steady_clock::time_point deadline;
    };
    void AcceptAll();
    std::optional<LoopbackRequest> ReadFrom(Pending& p, bool& drop);
    void DropExpired();

    int listenFd_ = -1;
    int port_ = 0;
    std::vector<Pending> pending_;
};

}  // namespace vellora::oauth
