// Reads one HTTP/1.1 request from bytes as they arrive, before any of it reaches the
// service's handlers, and refuses it as early as it can: an oversized head, a body with a
// content coding (a 1 MB gzip body would become 1 GB once decoded), a transfer coding other
// than chunked, a body longer than the limit (counted in decoded bytes, chunked or not,
// while it arrives: reading stops past the limit), a foreign Host or Origin (a web page in
// the user's browser, or a DNS-rebinding one, must not reach the service).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vellora::service {

// Header names compare without regard to letter case.
std::string AsciiLower(std::string s);

struct ParsedRequest {
    std::string method, target, version;
    std::vector<std::pair<std::string, std::string>> headers;  // as sent, in order
    std::string body;                                          // decoded (chunks joined)
    // The header's value (the first of that name, letter case ignored), or "".
    std::string Header(const std::string& name) const;
    bool HasHeader(const std::string& name) const;
};

// Who the service answers: its own address, names it is known by, and its port.
struct HostPolicy {
    std::string localAddress;        // the address the connection arrived on
    int port = 0;                    // the service's port
    std::vector<std::string> names;  // further names (a reverse proxy's, a host name)
    // True when "host[:port]" names this service.
    bool Allows(const std::string& hostAndPort) const;
};

struct Refusal {
    int status = 400;
    std::string reason;
};

class RequestReader {
  public:
    static constexpr std::size_t kMaxHead = 16 * 1024;

    RequestReader(std::size_t maxBody, HostPolicy policy)
        : maxBody_(maxBody), policy_(std::move(policy)) {}

    enum class State { NeedMore, Complete, Refused };
    // Takes the next bytes; consumes only what belongs to this request.
    State Feed(const char* data, std::size_t size);
    State state() const { return state_; }

    // After the head, when the client waits for a go-ahead before its body (Expect:
    // 100-continue): true once, then the caller sends "100 Continue".
    bool TakeContinue();
    // Bytes of this request held so far (head and decoded body), for the caller's budget.
    std::size_t Held() const { return buffer_.size() + request_.body.size(); }
    bool HeadDone() const { return phase_ != Phase::Head; }

    const ParsedRequest& Request() const { return request_; }
    ParsedRequest TakeRequest() { return std::move(request_); }
    const Refusal& GetRefusal() const { return refusal_; }

  private:
    enum class Phase { Head, Length, ChunkSize, ChunkData, ChunkEnd, Trailer, Done };
    State Refuse(int status, const std::string& reason);
    State ParseHead();
    std::optional<Refusal> CheckHead();
    State Body();
    bool Line(std::string& line);  // one line from buffer_ (CR LF or LF); false if incomplete

    std::size_t maxBody_;
    HostPolicy policy_;
    State state_ = State::NeedMore;
    Phase phase_ = Phase::Head;
    std::string buffer_;  // bytes not yet parsed
    ParsedRequest request_;
    Refusal refusal_;
    std::size_t remaining_ = 0;  // of the body (Length) or of the current chunk
    std::size_t trailerBytes_ = 0;
    bool continueDue_ = false;
};

}  // namespace vellora::service
