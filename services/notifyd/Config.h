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
    // Who may be notified: addresses and "@domain" entries, blank or comma separated.
    // Empty: anybody (fine on loopback; a service reachable by others should name them).
    std::vector<std::string> allowed;
};

// Parses the arguments (without the program name). Returns the reason on a bad option.
std::optional<std::string> ParseConfig(const std::vector<std::string>& args, Config& out);

// True when the recipient is allowed (letter case does not matter).
bool RecipientAllowed(const Config& config, const std::string& recipient);

// "name = value" lines; blank lines and lines starting with "#" or ";" are skipped.
std::map<std::string, std::string> ReadConfigFile(const std::string& path, std::string& error);

}  // namespace vellora::notifyd
