// The service's settings: from a configuration file of "name = value" lines and from the
// command line ("--name value"), the command line winning.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vellora::notifyd {

enum class Tls { None, StartTls, Implicit };

struct Config {
    std::string listen;
    int port = 0;
    std::string smtpUrl;  // smtp://host:port; implicit TLS turns it into smtps://
    Tls tls = Tls::None;
    std::string user, password;
    std::string from;
    std::string caFile;
    int timeoutSeconds = 30;
    std::string logFile;  // empty: standard error
    // Who may be notified: addresses and "@domain" entries, blank or comma separated; and the
    // owner's own addresses, who may always be notified. With neither, nobody is: a service
    // that sends anywhere it is told is an open relay for every web page and local program.
    std::vector<std::string> allowed;
    std::vector<std::string> owners;
    int mailsPerMinute = 30;             // beyond it, requests are refused until the minute is over
    int requestSeconds = 5;              // a whole request must arrive within this
    std::vector<std::string> hostNames;  // names it answers for beyond its own address
};

// Parses the arguments (without the program name). Returns the reason on a bad option. The
// relay password is taken from a file (password-file) or the configuration file (password),
// never from the command line, where every user of the machine could read it.
std::optional<std::string> ParseConfig(const std::vector<std::string>& args, Config& out);

// True when the recipient is on the allow-list or one of the owner's addresses (letter case
// does not matter). False for everybody when both are empty.
bool RecipientAllowed(const Config& config, const std::string& recipient);

// "name = value" lines; blank lines and lines starting with "#" or ";" are skipped.
std::map<std::string, std::string> ReadConfigFile(const std::string& path, std::string& error);

}  // namespace vellora::notifyd
