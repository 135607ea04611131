#include "tests/support/OAuthServer.h"

#include <regex>
#include <stdexcept>

#include "platform/http/Http.h"

namespace vtest {
namespace {

constexpr auto kTimeout = std::chrono::seconds(10);

int Number(const std::string& json, const std::string& name) {
    std::smatch m;
    if (!std::regex_search(json, m, std::regex("\"" + name + "\": (\\d+)"))) return -1;
    return std::stoi(m[1]);
}

std::string HeaderValue(const std::string& header, const std::string& name) {
    std::smatch m;
    const std::regex re("(^|\\n)" + name + ": *([^\\r\\n]*)", std::regex::icase);
    return std::regex_search(header, m, re) ? m[2].str() : std::string();
}

}  // namespace

OAuthServer::OAuthServer() {
    port_ = FreeTcpPort();
    Process::Options o;
    o.stdoutFile = dir_ / "oauth.log";
    process_ = Process({"/usr/bin/python3", SourceDir() + "/tests/support/oauth_server.py",
                        "--port", std::to_string(port_)},
                       o);
    if (!WaitForTcpPort(port_, std::chrono::seconds(15))) {
        throw std::runtime_error("OAuth2 test server did not start: " +
                                 ReadFile(dir_ / "oauth.log"));
    }
}

std::string OAuthServer::url() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void OAuthServer::Control(const std::string& query) const {
    const auto r = vellora::http::Get(url() + "/control?" + query, kTimeout);
    if (r.status != 200) throw std::runtime_error("OAuth2 test server control failed: " + r.error);
}

TokenStats OAuthServer::Stats() const {
    const auto r = vellora::http::Get(url() + "/stats", kTimeout);
    if (r.status != 200) throw std::runtime_error("OAuth2 test server stats failed: " + r.error);
    TokenStats s;
    s.raw = r.body;
    s.tokenRequests = Number(r.body, "token_requests");
    s.refreshes = Number(r.body, "refreshes");
    s.codeGrants = Number(r.body, "code_grants");
    s.introspections = Number(r.body, "introspections");
    s.liveRefreshTokens = Number(r.body, "live_refresh_tokens");
    return s;
}

OAuthServer::Issued OAuthServer::Issue(const std::string& user) const {
    const auto r = vellora::http::Get(url() + "/control?issue=" + user, kTimeout);
    std::smatch a, b;
    if (r.status != 200 ||
        !std::regex_search(r.body, a, std::regex("\"access_token\": \"([^\"]+)")) ||
        !std::regex_search(r.body, b, std::regex("\"refresh_token\": \"([^\"]+)"))) {
        throw std::runtime_error("OAuth2 test server issued nothing: " + r.body);
    }
    return {a[1], b[1]};
}

std::string OAuthServer::FollowAuthorization(const std::string& authorizationUrl,
                                             const std::string* stateOverride,
                                             long* loopbackStatus) {
    const auto agreed = vellora::http::Get(authorizationUrl, kTimeout);
    std::string location = HeaderValue(agreed.header, "Location");
    if (agreed.status != 302 || location.empty()) return "";
    if (stateOverride) {
        location =
            std::regex_replace(location, std::regex("state=[^&]*"), "state=" + *stateOverride);
    }
    const auto page = vellora::http::Get(location, kTimeout);
    if (loopbackStatus) *loopbackStatus = page.status;
    return page.body;
}

}  // namespace vtest
