#include "services/common/HttplibBridge.h"

#include <algorithm>
#include <cstring>

#include "services/common/GateTexts.h"

namespace vellora::service {
namespace {

namespace t = gate::texts;

// The request as httplib reads it: the head, then the body, from memory; the answer into a
// string. Nothing here touches a socket.
class MemoryStream : public httplib::Stream {
  public:
    MemoryStream(const std::string& head, const std::string& body, const Peer& peer,
                 std::string& out)
        : head_(head), body_(body), peer_(peer), out_(out) {}

    bool is_readable() const override { return pos_ < head_.size() + body_.size(); }
    bool is_writable() const override { return true; }
    ssize_t read(char* ptr, size_t size) override {
        std::size_t done = 0;
        while (done < size && pos_ < head_.size() + body_.size()) {
            const bool inHead = pos_ < head_.size();
            const std::string& from = inHead ? head_ : body_;
            const std::size_t at = inHead ? pos_ : pos_ - head_.size();
            const std::size_t take = std::min(size - done, from.size() - at);
            std::memcpy(ptr + done, from.data() + at, take);
            done += take;
            pos_ += take;
        }
        return static_cast<ssize_t>(done);
    }
    ssize_t write(const char* ptr, size_t size) override {
        out_.append(ptr, size);
        return static_cast<ssize_t>(size);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = peer_.remoteAddress;
        port = peer_.remotePort;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        ip = peer_.localAddress;
        port = peer_.localPort;
    }
    socket_t socket() const override { return INVALID_SOCKET; }

  private:
    const std::string& head_;
    const std::string& body_;
    const Peer& peer_;
    std::string& out_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string GatedServer::Serve(ParsedRequest&& request, const Peer& peer) {
    // The body is whole and decoded: it travels with its length, and without the framing and
    // the expectation the gate has already dealt with.
    std::string head = request.method + " " + request.target + " " + request.version + "\r\n";
    for (const auto& [name, value] : request.headers) {
        const std::string n = AsciiLower(name);
        if (n == t::kContentLength.str() || n == t::kTransferEncoding.str() ||
            n == t::kExpect.str()) {
            continue;
        }
        head += name + ": " + value + "\r\n";
    }
    head += VL("Content-Length: ") + std::to_string(request.body.size()) + "\r\n\r\n";
    std::string out;
    MemoryStream stream(head, request.body, peer, out);
    bool closed = false;
    process_request(stream, true, closed, nullptr);
    return out;
}

}  // namespace vellora::service
