#include "tests/support/Dovecot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace vtest {
namespace fs = std::filesystem;
namespace {

constexpr uid_t kMailUid = 8;  // Dovecot refuses root for mail processes
constexpr gid_t kMailGid = 8;

void MakeMailDir(const std::string& path) {
    fs::create_directories(path);
    chmod(path.c_str(), 0755);
    if (chown(path.c_str(), kMailUid, kMailGid) != 0) throw std::runtime_error("chown " + path);
}

std::string Find(const std::vector<std::string>& candidates) {
    for (const auto& c : candidates) {
        if (Exists(c)) return c;
    }
    return {};
}

}  // namespace

Dovecot::Dovecot() : Dovecot(Options{}) {}

Dovecot::Dovecot(const Options& options) : dir_("dovecot"), options_(options) {
    // Mail processes run as uid 8: they must be able to walk down to the mailboxes.
    chmod(dir_.path().c_str(), 0755);
    fs::create_directories(dir_ / "run");
    fs::create_directories(dir_ / "state");
    MakeMailDir(dir_ / "mail");
    fs::create_directories(dir_ / "users");
    MakeCertificate();
    imapPort_ = FreeTcpPort();
    do imapsPort_ = FreeTcpPort();
    while (imapsPort_ == imapPort_);
    do pop3Port_ = FreeTcpPort();
    while (pop3Port_ == imapPort_ || pop3Port_ == imapsPort_);
    do pop3sPort_ = FreeTcpPort();
    while (pop3sPort_ == imapPort_ || pop3sPort_ == imapsPort_ || pop3sPort_ == pop3Port_);
    WriteConfig();
    const std::string binary = Find({"/usr/sbin/dovecot", "/usr/bin/dovecot"});
    if (binary.empty()) throw std::runtime_error("dovecot is not installed");
    Process::Options o;
    o.stdoutFile = dir_ / "stdout.log";
    process_ = Process({binary, "-F", "-c", dir_ / "dovecot.conf"}, o);
    const auto t = std::chrono::seconds(10);
    for (int port : {imapPort_, imapsPort_, pop3Port_, pop3sPort_}) {
        if (!WaitForTcpPort(port, t)) {
            throw std::runtime_error("dovecot did not start: " + ReadFile(dir_ / "stdout.log") +
                                     log());
        }
    }
}

Dovecot::~Dovecot() {
    process_.stop(std::chrono::seconds(5));
}

void Dovecot::MakeCertificate() {
    caFile_ = dir_ / "cert.pem";
    std::string output;
    const int rc = Run({"/usr/bin/openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                        "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj",
                        "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
                        "-keyout", dir_ / "key.pem", "-out", caFile_},
                       &output, std::chrono::seconds(30));
    if (rc != 0) throw std::runtime_error("openssl failed: " + output);
    chmod((dir_ / "key.pem").c_str(), 0600);
}

void Dovecot::WriteConfig() const {
    const std::string& d = dir_.path();
    const bool oauth2 = !options_.oauth2IntrospectionUrl.empty();
    std::ostringstream c;
    c << "base_dir = " << d << "/run\n"
      << "state_dir = " << d << "/state\n"
      << "log_path = " << d << "/dovecot.log\n"
      << "protocols = imap pop3\n"
      << "listen = 127.0.0.1\n"
      << "ssl = yes\n"
      << "ssl_cert = <" << d << "/cert.pem\n"
      << "ssl_key = <" << d << "/key.pem\n"
      << "disable_plaintext_auth = no\n"
      << "auth_mechanisms = plain login cram-md5 apop"
      << (oauth2 ? " " + options_.oauth2Mechanisms : std::string()) << "\n"
      << "auth_failure_delay = 0\n"
      // A test mailbox needs no crash safety; a large one syncs much faster without it.
      << "mail_fsync = never\n"
      << "pop3_fast_size_lookups = yes\n"
      // Only Dovecot itself changes cur/ (tests drop new mail into new/), as on a server that
      // owns its mailboxes; a large mailbox then opens without a scan of every message.
      << "maildir_very_dirty_syncs = yes\n"
      << "mail_location = maildir:" << d << "/mail/%u\n"
      << "first_valid_uid = " << kMailUid << "\nlast_valid_uid = " << kMailUid << "\n"
      << "first_valid_gid = " << kMailGid << "\nlast_valid_gid = " << kMailGid << "\n"
      << OAuth2Passdb()
      << "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN username_format=%u " << d
      << "/users/%u\n}\n"
      << "userdb {\n  driver = static\n  args = uid=" << kMailUid << " gid=" << kMailGid
      << " home=" << d
      << "/mail/%u\n}\n"
      // Tests try wrong passwords on purpose: no growing delay for the next login.
      << "service anvil {\n  unix_listener anvil-auth-penalty {\n    mode = 0\n  }\n}\n"
      << "service imap-login {\n"
      << "  inet_listener imap {\n    port = " << imapPort_ << "\n  }\n"
      << "  inet_listener imaps {\n    port = " << imapsPort_ << "\n    ssl = yes\n  }\n}\n"
      << "service pop3-login {\n"
      << "  inet_listener pop3 {\n    port = " << pop3Port_ << "\n  }\n"
      << "  inet_listener pop3s {\n    port = " << pop3sPort_ << "\n    ssl = yes\n  }\n}\n";
    WriteFile(dir_ / "dovecot.conf", c.str());
}

// Bearer tokens go to the oauth2 passdb only; it asks the introspection address about each
// one (no cache), so a token revoked or expired there is refused at the next login.
std::string Dovecot::OAuth2Passdb() const {
    if (options_.oauth2IntrospectionUrl.empty()) return {};
    const std::string file = dir_ / "oauth2.conf";
    WriteFile(file,
              "introspection_mode = post\nintrospection_url = " + options_.oauth2IntrospectionUrl +
                  "\nusername_attribute = username\nactive_attribute = active\n"
                  "active_value = true\n");
    return "passdb {\n  driver = oauth2\n  mechanisms = " + options_.oauth2Mechanisms +
           "\n  args = " + file + "\n}\n";
}

void Dovecot::AddUser(const std::string& user, const std::string& password) {
    // One password file per user: Dovecot reads a new user's file at the first login, while a
    // shared file would be checked for changes at most once a second.
    const std::string file = dir_ / ("users/" + user);
    WriteFile(file + ".new", user + ":{PLAIN}" + password + "\n");
    fs::rename(file + ".new", file);
    const std::string box = MailDir(user);
    MakeMailDir(box);
    for (const char* sub : {"/new", "/cur", "/tmp"}) MakeMailDir(box + sub);
}

std::string Dovecot::MailDir(const std::string& user) const {
    return dir_ / ("mail/" + user);
}

std::string Dovecot::AddMessage(const std::string& user, const std::string& raw) {
    return Deliver(MailDir(user), ++sequence_, raw);
}

void Dovecot::AddMessages(const std::string& user, int count,
                          const std::function<std::string(int)>& make) {
    const int first = sequence_ + 1;
    sequence_ += count;
    const std::string box = MailDir(user);
    // The disk, not the processor, sets the pace: a few writers at once keep it busy. The
    // sequence in each name, not the order of writing, gives the messages their order.
    constexpr int kWriters = 4;
    std::vector<std::thread> writers;
    std::atomic<bool> failed{false};
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            try {
                for (int i = 1 + w; i <= count; i += kWriters) Deliver(box, first + i - 1, make(i));
            } catch (const std::exception&) {
                failed = true;
            }
        });
    }
    for (auto& t : writers) t.join();
    if (failed) throw std::runtime_error("cannot deliver messages to " + box);
}

std::string Dovecot::Deliver(const std::string& box, int sequence, const std::string& raw) {
    // Sizes in the name, as Dovecot's own delivery writes them: it then needs not open every
    // file to learn them (POP3 asks for all sizes at login).
    std::size_t bareLf = 0;
    for (std::size_t i = 0; i < raw.size(); ++i)
        bareLf += raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r');
    char name[96];
    std::snprintf(name, sizeof name, "%010d.M%dP%d.vtest,S=%zu,W=%zu", sequence, sequence,
                  static_cast<int>(getpid()), raw.size(), raw.size() + bareLf);
    const std::string temp = box + "/tmp/" + name, final = box + "/new/" + name;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot write " + temp);
    const bool written = ::write(fd, raw.data(), raw.size()) == static_cast<ssize_t>(raw.size());
    const bool owned = ::fchown(fd, kMailUid, kMailGid) == 0;
    ::close(fd);
    if (!written || !owned || ::rename(temp.c_str(), final.c_str()) != 0)
        throw std::runtime_error("cannot deliver " + final);
    return final;
}

void Dovecot::Index(const std::string& user) {
    std::string output;
    const int rc =
        Run({"/usr/bin/doveadm", "-c", dir_ / "dovecot.conf", "index", "-u", user, "INBOX"},
            &output, std::chrono::seconds(120));
    if (rc != 0) throw std::runtime_error("doveadm index failed: " + output);
}

void Dovecot::Expunge(const std::string& user) {
    std::string output;
    const int rc = Run({"/usr/bin/doveadm", "-c", dir_ / "dovecot.conf", "expunge", "-u", user,
                        "mailbox", "INBOX", "all"},
                       &output, std::chrono::seconds(60));
    if (rc != 0) throw std::runtime_error("doveadm expunge failed: " + output);
}

int Dovecot::MessageFiles(const std::string& user) const {
    int n = 0;
    for (const char* sub : {"/new", "/cur"})
        n += static_cast<int>(ListDir(MailDir(user) + sub).size());
    return n;
}

std::string Dovecot::log() const {
    return ReadFile(dir_ / "dovecot.log");
}

}  // namespace vtest
