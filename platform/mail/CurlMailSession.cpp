#include "platform/mail/CurlMailSession.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/mail/UidlMap.h"
#include "shared/Literal.h"

namespace vellora::mail {
namespace {

bool HostIsSafe(const std::string& host) {
    if (host.empty() || host.size() > 255) return false;
    return std::all_of(host.begin(), host.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '.' || c == '-' || c == '_' || c == ':' || c == '[' ||
               c == ']';
    });
}

// The lines of a response, without their line ends.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

bool ParseUnsigned(const std::string& s, unsigned long& value) {
    if (s.empty() || !std::all_of(s.begin(), s.end(), ::isdigit) || s.size() > 10) return false;
    value = std::strtoul(s.c_str(), nullptr, 10);
    return true;
}

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::int32_t CodeFromCurl(int curlCode) {
    switch (static_cast<CURLcode>(curlCode)) {
        case CURLE_OK:
            return kOk;
        case CURLE_LOGIN_DENIED:
            return kLoginRefused;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
        case CURLE_URL_MALFORMAT:
            return kUnreachable;
        case CURLE_OPERATION_TIMEDOUT:
            return kTimedOut;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_USE_SSL_FAILED:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_SHUTDOWN_FAILED:
            return kTlsFailed;
        default:
            return kProtocolError;
    }
}

void CurlMailSession::Reset() {
    Close();
    imap_ = ssl_ = ntlm_ = false;
    port_ = 0;
    credentials_ = Credentials::Password();
}

std::int32_t CurlMailSession::InitSsl() {
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    if (!info || !(info->features & CURL_VERSION_SSL)) return kTlsFailed;
    ssl_ = true;
    return kOk;
}

int CurlMailSession::EffectivePort() const {
    if (port_ > 0) return port_;
    if (imap_) return ssl_ ? 993 : 143;
    return ssl_ ? 995 : 110;
}

std::string CurlMailSession::BaseUrl() const {
    const int port = EffectivePort();
    const bool startTls = port == (imap_ ? config_.imapStartTlsPort : config_.popStartTlsPort);
    std::string scheme = imap_ ? VL("imap") : VL("pop3");
    if (ssl_ && !startTls) scheme += 's';
    std::string host = server_;
    if (host.find(':') != std::string::npos && host.front() != '[') host = '[' + host + ']';
    return scheme + VL("://") + host + ':' + std::to_string(port) + '/';
}

std::string CurlMailSession::MailboxUrl() const {
    return BaseUrl() + VL("INBOX");
}

TransferResult CurlMailSession::Run(const std::string& url, const std::string& command,
                                    bool nobody) {
    if (!transfer_) {
        TransferResult r;
        r.code = CURLE_FAILED_INIT;
        return r;
    }
    TransferResult r = transfer_->Perform(url, command, nobody);
    lastError_ = r.error;
    lastLines_ = r.lines;
    return r;
}

std::int32_t CurlMailSession::Login(const std::string& server, const std::string& user,
                                    const std::string& password) {
    return DoLogin(server, user, password, Auth::kPlain);
}

std::int32_t CurlMailSession::LoginEncrypted(const std::string& server, const std::string& user,
                                             const std::string& password) {
    return DoLogin(server, user, password, Auth::kEncrypted);
}

// Every login of the component comes through here: the one place that chooses the mechanism.
std::int32_t CurlMailSession::DoLogin(const std::string& server, const std::string& user,
                                      const std::string& password, Auth auth) {
    Close();
    server_ = server;
    user_ = user;
    const bool bearer = credentials_.kind == Credentials::Kind::kBearerToken;
    password_ = bearer ? std::string() : password;
    if (!HostIsSafe(server) || port_ < 0 || port_ > 65535) return kUnreachable;
    if (bearer) return BearerLogin();
    if (ntlm_) return Attempt(VL("AUTH=NTLM"));
    if (auth == Auth::kPlain) {
        const std::int32_t code = Attempt(VL("AUTH=PLAIN;AUTH=LOGIN"));
        // A server without SASL PLAIN or LOGIN still takes the protocol's own plain login.
        if (code == kLoginRefused && !Offers(VL("PLAIN")) && !Offers(VL("LOGIN"))) {
            return Attempt("");
        }
        return code;
    }
    if (imap_) return Attempt(VL("AUTH=CRAM-MD5"));
    const std::int32_t code = Attempt(VL("AUTH=+APOP"));
    if (code == kLoginRefused && !OffersApop()) return Attempt(VL("AUTH=CRAM-MD5"));
    return code;
}

// libcurl 7.88 speaks both OAuth2 mechanisms for IMAP and POP3 and, offered both, prefers
// OAUTHBEARER (the standard one); it sends XOAUTH2 to a server that lists only that.
std::int32_t CurlMailSession::BearerLogin() {
    const std::int32_t code = Attempt(VL("AUTH=OAUTHBEARER;AUTH=XOAUTH2"));
    if (code == kLoginRefused && !Offers(VL("OAUTHBEARER")) && !Offers(VL("XOAUTH2"))) {
        lastError_ = VL("the server offers neither OAUTHBEARER nor XOAUTH2");
        return kNoOAuthLogin;
    }
    return code;
}

// Whether the server's answers so far (greeting, capabilities) list the SASL mechanism.
bool CurlMailSession::Offers(const std::string& mechanism) const {
    const std::string wanted = Lower(mechanism);
    for (const auto& line : Lines(lastLines_)) {
        std::istringstream words(Lower(line));
        std::string word;
        bool saslLine = false;
        while (words >> word) {
            if (word == VL("sasl")) saslLine = true;  // POP3: "SASL PLAIN LOGIN"
            if (word == VL("auth=") + wanted || (saslLine && word == wanted)) return true;
        }
    }
    return false;
}

// APOP needs the time stamp <...@...> in the POP3 greeting.
bool CurlMailSession::OffersApop() const {
    const auto lines = Lines(lastLines_);
    if (lines.empty()) return false;
    const std::string& greeting = lines.front();
    const auto open = greeting.find('<');
    const auto at = greeting.find('@', open == std::string::npos ? 0 : open);
    return open != std::string::npos && at != std::string::npos &&
           greeting.find('>', at) != std::string::npos;
}

// One connection and login with the given libcurl login options; reads the message count.
std::int32_t CurlMailSession::Attempt(const std::string& options) {
    Close();
    transfer_ = std::make_unique<CurlTransfer>(config_.limits);
    transfer_->SetVerbose(verbose_);
    transfer_->SetLogin(user_, password_, options);
    if (credentials_.kind == Credentials::Kind::kBearerToken) {
        transfer_->SetBearer(credentials_.bearerToken);
    }
    const int port = EffectivePort();
    transfer_->RequireStartTls(
        ssl_ && port == (imap_ ? config_.imapStartTlsPort : config_.popStartTlsPort));
    loggedIn_ = true;
    const std::int32_t count = imap_ ? ImapSelect() : PopCount();
    if (count >= 0) return kOk;
    const std::string error = lastError_, lines = lastLines_;
    const std::int32_t code = failCode_;
    Close();
    lastError_ = error;
    lastLines_ = lines;
    return code;
}

// The count from STAT, or -1 with failCode_ set.
std::int32_t CurlMailSession::PopCount() {
    failCode_ = kProtocolError;
    const TransferResult r = Run(BaseUrl(), VL("STAT"), true);
    if (!r.ok()) return Fail(r);
    if (loggedIn_ && count_ >= 0 && PopSessionLost(r)) return -1;
    const auto lines = Lines(r.lines);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        unsigned long count = 0, size = 0;
        char rest = 0;
        if (std::sscanf(it->c_str(), VL("+OK %lu %lu%c").c_str(), &count, &size, &rest) >= 2) {
            count_ = static_cast<std::int32_t>(std::min<unsigned long>(count, 0x7FFFFFFF));
            return count_;
        }
    }
    return -1;
}

// SELECT on the URL without a mailbox, so that libcurl sends only ours: one mailbox sync.
std::int32_t CurlMailSession::ImapSelect() {
    failCode_ = kProtocolError;
    const TransferResult r = Run(BaseUrl(), VL("SELECT INBOX"), false);
    if (!r.ok()) return Fail(r);
    imapUids_.clear();
    count_ = -1;
    ImapUpdates(r.body);
    staleView_ = false;
    return count_;
}

// NOOP: the server reports what changed since its last answer (new and expunged messages).
std::int32_t CurlMailSession::ImapNoop() {
    if (staleView_) return ImapSelect();
    failCode_ = kProtocolError;
    const TransferResult r = Run(BaseUrl(), VL("NOOP"), false);
    if (!r.ok()) return Fail(r);
    ImapUpdates(r.body);
    return count_;
}

// Untagged EXISTS and EXPUNGE lines move the sequence numbers: the count follows them and the
// index-to-UID cache starts again. Other untagged lines go to `other`.
void CurlMailSession::ImapUpdates(const std::string& body, std::vector<std::string>* other) {
    for (auto& line : Lines(body)) {
        std::istringstream words(line);
        std::string star, number, what;
        unsigned long n = 0;
        if (!(words >> star >> number >> what) || star != "*" || !ParseUnsigned(number, n)) {
            continue;
        }
        what = Lower(what);
        if (what == VL("exists")) {
            count_ = static_cast<std::int32_t>(std::min<unsigned long>(n, 0x7FFFFFFF));
            imapUids_.clear();
        } else if (what == VL("expunge")) {
            if (count_ > 0) --count_;
            imapUids_.clear();
        } else if (other) {
            other->push_back(std::move(line));
        }
    }
}

std::int32_t CurlMailSession::Fail(const TransferResult& r) {
    failCode_ = CodeFromCurl(r.code);
    if (failCode_ == kOk) failCode_ = kProtocolError;
    return -1;
}

std::int32_t CurlMailSession::MessageCount() {
    if (!loggedIn_) return -1;
    // A POP3 session keeps the mailbox as it was at login: the count of the login stands.
    const std::int32_t count = imap_ ? ImapNoop() : count_;
    return count < 0 ? -1 : count;
}

std::string CurlMailSession::MessageId(std::int32_t index) {
    if (!loggedIn_ || index < 1 || index > count_) return {};
    if (imap_) return ImapUid(index);
    if (!popIdsLoaded_ && !PopLoadIds()) return {};
    if (static_cast<std::size_t>(index) > popIds_.size()) return {};
    return std::to_string(popIds_[index - 1]);
}

// UIDL once per session: a POP3 session sees its mailbox as it was at login.
bool CurlMailSession::PopLoadIds() {
    const TransferResult r = Run(BaseUrl(), VL("UIDL"), false);
    if (!r.ok() || PopSessionLost(r)) return false;
    std::vector<std::string> uidls;
    for (const auto& line : Lines(r.body)) {
        std::istringstream words(line);
        std::string number, uidl;
        unsigned long n = 0;
        // Never past the count of the login: a hostile index must not size the listing.
        if (!(words >> number >> uidl) || !ParseUnsigned(number, n) || n < 1 ||
            n > static_cast<unsigned long>(std::max(count_, 0))) {
            continue;
        }
        if (uidls.size() < n) uidls.resize(n);
        uidls[n - 1] = uidl;
    }
    if (std::any_of(uidls.begin(), uidls.end(), [](const std::string& u) { return u.empty(); })) {
        lastError_ = VL("incomplete UIDL listing");
        return false;
    }
    UidlMap map(config_.uidlMapPath.empty() ? UidlMap::DefaultPath() : config_.uidlMapPath);
    // Keyed by the mailbox, not the port: the same mailbox over TLS keeps its ids.
    popIds_ = map.Assign({server_, user_, VL("pop3")}, uidls);
    if (popIds_.size() != uidls.size()) {
        lastError_ = VL("cannot keep the message ids");
        popIds_.clear();
        return false;
    }
    popIdsLoaded_ = true;
    return true;
}

std::string CurlMailSession::ImapUid(int index) {
    if (auto it = imapUids_.find(index); it != imapUids_.end()) return it->second;
    if (!ImapLoadIds(index)) return {};
    auto it = imapUids_.find(index);
    return it == imapUids_.end() ? std::string() : it->second;
}

// The UIDs of a bounded range ending at `index`: a check asks for the newest messages first and
// then walks down, so one round trip serves a whole run of calls.
bool CurlMailSession::ImapLoadIds(int index) {
    const int low = std::max(1, index - std::max(1, config_.idChunk) + 1);
    const std::string command =
        VL("FETCH ") + std::to_string(low) + ':' + std::to_string(index) + VL(" (UID)");
    const TransferResult r = Run(BaseUrl(), command, false);
    if (!r.ok()) return false;
    std::vector<std::string> fetched;
    ImapUpdates(r.body, &fetched);
    for (const auto& line : fetched) {
        std::istringstream words(line);
        std::string star, number, fetch;
        unsigned long seq = 0;
        if (!(words >> star >> number >> fetch) || !ParseUnsigned(number, seq) ||
            Lower(fetch) != VL("fetch")) {
            continue;
        }
        const std::string lower = Lower(line);
        const auto at = lower.find(VL("uid "));
        if (at == std::string::npos) continue;
        std::size_t end = at + 4;
        while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end]))) ++end;
        unsigned long value = 0;
        if (ParseUnsigned(line.substr(at + 4, end - at - 4), value) && value > 0) {
            imapUids_[static_cast<int>(seq)] = std::to_string(value);
        }
    }
    return true;
}

std::string CurlMailSession::Retrieve(std::int32_t index) {
    if (!loggedIn_ || index < 1 || index > count_) return {};
    std::string raw = imap_ ? ImapRetrieve(index) : PopRetrieve(index);
    return raw;
}

// A POP3 session sees the mailbox as it was at its login. When libcurl had to connect again,
// the indexes may name other messages: the session is over.
bool CurlMailSession::PopSessionLost(const TransferResult& r) {
    if (!r.newConnection) return false;
    lastError_ = VL("the connection to the server was lost");
    loggedIn_ = false;
    return true;
}

std::string CurlMailSession::PopRetrieve(int index) {
    TransferResult r = Run(BaseUrl() + std::to_string(index), "", false);
    if (!r.ok() || PopSessionLost(r)) return {};
    // libcurl takes a hang-up for the end of the message: only a connection that still answers
    // proves that the whole message came.
    const TransferResult check = Run(BaseUrl(), VL("NOOP"), true);
    if (!check.ok() || PopSessionLost(check)) {
        lastError_ = VL("the connection ended inside the message");
        return {};
    }
    return std::move(r.body);
}

// Fetching with BODY[] marks the message \Seen; a message that was unseen stays unseen.
std::string CurlMailSession::ImapRetrieve(int index) {
    const std::string uid = ImapUid(index);
    if (uid.empty()) return {};
    const TransferResult flags = Run(BaseUrl(), VL("UID FETCH ") + uid + VL(" (FLAGS)"), false);
    if (!flags.ok()) return {};
    const std::string lower = Lower(flags.body);
    const auto at = lower.find(VL("flags ("));
    if (at == std::string::npos) return {};  // the message is gone
    const auto close = lower.find(')', at);
    const bool seen = lower.substr(at, close - at).find(VL("\\seen")) != std::string::npos;
    // libcurl selects the mailbox itself before its first fetch; the EXISTS of that SELECT
    // never reaches us, so the next count asks with a SELECT of its own.
    TransferResult message = Run(MailboxUrl() + VL(";UID=") + uid, "", false);
    staleView_ = true;
    if (!seen) {
        const std::string keep = lastError_;
        Run(BaseUrl(), VL("UID STORE ") + uid + VL(" -FLAGS.SILENT (\\Seen)"), false);
        if (!message.ok()) lastError_ = keep;
    }
    return message.ok() ? std::move(message.body) : std::string();
}

void CurlMailSession::Close() {
    transfer_.reset();
    loggedIn_ = false;
    count_ = -1;
    imapUids_.clear();
    popIds_.clear();
    popIdsLoaded_ = false;
    staleView_ = false;
    lastError_.clear();
}

}  // namespace vellora::mail
