#include "services/common/RequestReader.h"

#include <algorithm>
#include <cctype>

#include "services/common/GateTexts.h"

namespace vellora::service {
namespace {

namespace t = gate::texts;

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool IsToken(const std::string& s) {
    if (s.empty()) return false;
    for (unsigned char c : s) {
        if (c <= 32 || c >= 127 ||
            std::string("()<>@,;:\\\"/[]?={}").find(static_cast<char>(c)) != std::string::npos) {
            return false;
        }
    }
    return true;
}

// Decimal digits only, no sign, no blanks; false past 2^62.
bool ParseLength(const std::string& text, std::size_t& out) {
    if (text.empty() || text.size() > 18) return false;
    std::size_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::size_t>(c - '0');
    }
    out = v;
    return true;
}

bool ParseHex(const std::string& text, std::size_t& out) {
    if (text.empty() || text.size() > 15) return false;
    std::size_t v = 0;
    for (char c : text) {
        const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                      : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                                  : -1;
        if (d < 0) return false;
        v = v * 16 + static_cast<std::size_t>(d);
    }
    out = v;
    return true;
}

// "host[:port]" split; the host of an IPv6 literal keeps its brackets.
std::pair<std::string, std::string> SplitHostPort(const std::string& text) {
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos) return {text, ""};
        const std::string rest = text.substr(close + 1);
        return {text.substr(0, close + 1), rest.empty() || rest[0] != ':' ? "" : rest.substr(1)};
    }
    const auto colon = text.rfind(':');
    if (colon == std::string::npos) return {text, ""};
    return {text.substr(0, colon), text.substr(colon + 1)};
}

bool IsLoopback(const std::string& address) {
    return address.rfind(t::kLoopbackPrefix.str(), 0) == 0 || address == t::kLoopback6.str();
}

// The "host[:port]" of an Origin ("scheme://host[:port]"), or "" when it has none.
std::string OriginHost(const std::string& origin) {
    const auto scheme = origin.find(t::kSchemeEnd.str());
    if (scheme == std::string::npos) return {};
    std::string rest = origin.substr(scheme + 3);
    const auto slash = rest.find('/');
    if (slash != std::string::npos) rest.resize(slash);
    return rest;
}

}  // namespace

std::string AsciiLower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string ParsedRequest::Header(const std::string& name) const {
    const std::string want = AsciiLower(name);
    for (const auto& [n, v] : headers) {
        if (AsciiLower(n) == want) return v;
    }
    return {};
}

bool ParsedRequest::HasHeader(const std::string& name) const {
    const std::string want = AsciiLower(name);
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& h) { return AsciiLower(h.first) == want; });
}

bool HostPolicy::Allows(const std::string& hostAndPort) const {
    auto [host, portText] = SplitHostPort(AsciiLower(hostAndPort));
    if (host.empty()) return false;
    if (!host.empty() && host.back() == '.') host.pop_back();
    for (const std::string& name : names) {
        if (AsciiLower(name) == host) return true;  // a name of our own, on any port before us
    }
    if (!portText.empty() && portText != std::to_string(port)) return false;
    if (portText.empty() && port != 80) return false;
    std::string bare = host;
    if (bare.size() > 2 && bare.front() == '[') bare = bare.substr(1, bare.size() - 2);
    if (bare == AsciiLower(localAddress)) return true;
    return IsLoopback(localAddress) && bare == t::kLocalhost.str();
}

RequestReader::State RequestReader::Refuse(int status, const std::string& reason) {
    refusal_ = {status, reason};
    state_ = State::Refused;
    buffer_.clear();
    request_.body.clear();
    return state_;
}

bool RequestReader::Line(std::string& line) {
    const auto lf = buffer_.find('\n');
    if (lf == std::string::npos) return false;
    line = buffer_.substr(0, lf);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    buffer_.erase(0, lf + 1);
    return true;
}

RequestReader::State RequestReader::Feed(const char* data, std::size_t size) {
    if (state_ != State::NeedMore) return state_;
    buffer_.append(data, size);
    if (phase_ == Phase::Head) {
        const auto end = std::min(buffer_.find("\n\r\n"), buffer_.find("\n\n"));
        if (end == std::string::npos) {
            if (buffer_.size() > kMaxHead) return Refuse(431, t::kHeadTooLarge.str());
            return state_;
        }
        if (end > kMaxHead) return Refuse(431, t::kHeadTooLarge.str());
        if (ParseHead() == State::Refused) return state_;
    }
    return Body();
}

RequestReader::State RequestReader::ParseHead() {
    std::string line;
    while (Line(line) && line.empty()) {
    }  // blank lines before a request are allowed
    const auto sp1 = line.find(' ');
    const auto sp2 = line.rfind(' ');
    if (sp1 == std::string::npos || sp2 == sp1) return Refuse(400, t::kBadRequestLine.str());
    request_.method = line.substr(0, sp1);
    request_.target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    request_.version = line.substr(sp2 + 1);
    if (!IsToken(request_.method) || request_.target.empty() ||
        request_.target.find(' ') != std::string::npos ||
        (request_.version != t::kHttp11.str() && request_.version != t::kHttp10.str())) {
        return Refuse(400, t::kBadRequestLine.str());
    }
    while (Line(line) && !line.empty()) {
        if (line[0] == ' ' || line[0] == '\t') return Refuse(400, t::kFoldedHeader.str());
        const auto colon = line.find(':');
        if (colon == std::string::npos || !IsToken(line.substr(0, colon)))
            return Refuse(400, t::kBadHeader.str());
        request_.headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
        if (request_.headers.size() > 100) return Refuse(431, t::kHeadTooLarge.str());
    }
    if (auto refusal = CheckHead()) return Refuse(refusal->status, refusal->reason);
    return state_;
}

std::optional<Refusal> RequestReader::CheckHead() {
    const ParsedRequest& r = request_;
    // Where it is addressed to, and who asks: before a byte of the body is taken.
    std::vector<std::string> hosts;
    for (const auto& [n, v] : r.headers) {
        if (AsciiLower(n) == t::kHost.str()) hosts.push_back(v);
    }
    if (hosts.size() != 1) return Refusal{400, t::kNoHost.str()};
    if (!policy_.Allows(hosts[0])) return Refusal{421, t::kForeignHost.str()};
    if (r.HasHeader(t::kOrigin.str()) && !policy_.Allows(OriginHost(r.Header(t::kOrigin.str()))))
        return Refusal{403, t::kForeignOrigin.str()};
    const std::string site = AsciiLower(r.Header(t::kFetchSite.str()));
    if (site == t::kCrossSite.str() || site == t::kSameSite.str())
        return Refusal{403, t::kForeignOrigin.str()};
    // The body: no content coding at all, chunked or a length, never both, within the limit.
    if (r.HasHeader(t::kContentEncoding.str())) return Refusal{415, t::kEncoded.str()};
    const bool chunked = r.HasHeader(t::kTransferEncoding.str());
    if (chunked && AsciiLower(r.Header(t::kTransferEncoding.str())) != t::kChunked.str())
        return Refusal{501, t::kTransferCoding.str()};
    std::optional<std::size_t> length;
    for (const auto& [n, v] : r.headers) {
        if (AsciiLower(n) != t::kContentLength.str()) continue;
        std::size_t value = 0;
        if (!ParseLength(v, value) || (length && *length != value))
            return Refusal{400, t::kBadLength.str()};
        length = value;
    }
    if (chunked && length) return Refusal{400, t::kBadLength.str()};
    if (length && *length > maxBody_) return Refusal{413, t::kTooLarge.str()};
    const std::string expect = AsciiLower(r.Header(t::kExpect.str()));
    if (!expect.empty() && expect != t::kContinue.str()) return Refusal{417, t::kBadExpect.str()};
    continueDue_ = !expect.empty();
    remaining_ = length.value_or(0);
    phase_ = chunked ? Phase::ChunkSize : Phase::Length;
    return std::nullopt;
}

bool RequestReader::TakeContinue() {
    const bool due = continueDue_ && state_ == State::NeedMore && phase_ != Phase::Head;
    continueDue_ = false;
    return due;
}

RequestReader::State RequestReader::Body() {
    std::string& body = request_.body;
    for (;;) {
        switch (phase_) {
            case Phase::Head:
            case Phase::Done:
                return state_;
            case Phase::Length:
            case Phase::ChunkData: {
                const std::size_t take = std::min(remaining_, buffer_.size());
                body.append(buffer_, 0, take);
                buffer_.erase(0, take);
                remaining_ -= take;
                if (remaining_ > 0) return state_;
                if (phase_ == Phase::Length) {
                    phase_ = Phase::Done;
                    buffer_.clear();  // bytes past the stated length are not this request's
                    return state_ = State::Complete;
                }
                phase_ = Phase::ChunkEnd;
                break;
            }
            case Phase::ChunkSize: {
                std::string line;
                if (!Line(line)) {
                    if (buffer_.size() > 1024) return Refuse(400, t::kBadChunk.str());
                    return state_;
                }
                std::size_t size = 0;
                if (!ParseHex(Trim(line.substr(0, line.find(';'))), size))
                    return Refuse(400, t::kBadChunk.str());
                if (size > maxBody_ - body.size()) return Refuse(413, t::kTooLarge.str());
                remaining_ = size;
                phase_ = size == 0 ? Phase::Trailer : Phase::ChunkData;
                break;
            }
            case Phase::ChunkEnd: {
                std::string line;
                if (!Line(line))
                    return buffer_.size() > 2 ? Refuse(400, t::kBadChunk.str()) : state_;
                if (!line.empty()) return Refuse(400, t::kBadChunk.str());
                phase_ = Phase::ChunkSize;
                break;
            }
            case Phase::Trailer: {
                std::string line;
                if (!Line(line)) {
                    if (buffer_.size() + trailerBytes_ > 4096)
                        return Refuse(431, t::kHeadTooLarge.str());
                    return state_;
                }
                trailerBytes_ += line.size() + 2;
                if (trailerBytes_ > 4096) return Refuse(431, t::kHeadTooLarge.str());
                if (!line.empty()) break;  // trailer fields are read and dropped
                phase_ = Phase::Done;
                buffer_.clear();
                return state_ = State::Complete;
            }
        }
    }
}

}  // namespace vellora::service
