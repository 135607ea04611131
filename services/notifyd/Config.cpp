#include "services/notifyd/Config.h"

#include <cctype>
#include <fstream>

#include "services/notifyd/NotifyTexts.h"
#include "shared/ServiceAddress.h"

namespace vellora::notifyd {
namespace {

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::string Lower(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

bool ParsePositive(const std::string& text, int max, int& out) {
    if (text.empty() || text.size() > 6) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v <= 0 || v > max) return false;
    out = v;
    return true;
}

std::string FirstLine(const std::string& path, bool& ok) {
    std::ifstream in(path);
    std::string line;
    ok = static_cast<bool>(in);
    std::getline(in, line);
    return Trim(line);
}

void AddList(const std::string& value, std::vector<std::string>& list) {
    std::string entry;
    for (char ch : value + " ") {
        if (ch == ' ' || ch == ',' || ch == '\t') {
            if (!entry.empty()) list.push_back(Lower(entry));
            entry.clear();
        } else {
            entry += ch;
        }
    }
}

// Applies one setting; false when the name is unknown or the value is bad.
bool Apply(const std::string& name, const std::string& value, Config& c) {
    using namespace texts;
    if (name == kOptListen.str()) {
        c.listen = value;
    } else if (name == kOptPort.str()) {
        return ParsePositive(value, 65535, c.port);
    } else if (name == kOptSmtp.str()) {
        c.smtpUrl = value;
    } else if (name == kOptTls.str()) {
        if (value == kTlsNone.str())
            c.tls = Tls::None;
        else if (value == kTlsStartTls.str())
            c.tls = Tls::StartTls;
        else if (value == kTlsImplicit.str())
            c.tls = Tls::Implicit;
        else
            return false;
    } else if (name == kOptUser.str()) {
        c.user = value;
    } else if (name == kOptPassword.str()) {
        c.password = value;
    } else if (name == kOptPasswordFile.str()) {
        bool ok = false;
        c.password = FirstLine(value, ok);
        return ok;
    } else if (name == kOptFrom.str()) {
        c.from = value;
    } else if (name == kOptCaFile.str()) {
        c.caFile = value;
    } else if (name == kOptTimeout.str()) {
        return ParsePositive(value, 3600, c.timeoutSeconds);
    } else if (name == kOptLog.str()) {
        c.logFile = value;
    } else if (name == kOptAllow.str()) {
        AddList(value, c.allowed);
    } else if (name == kOptOwner.str()) {
        AddList(value, c.owners);
    } else if (name == kOptRate.str()) {
        return ParsePositive(value, 100000, c.mailsPerMinute);
    } else if (name == kOptRequestTime.str()) {
        return ParsePositive(value, 3600, c.requestSeconds);
    } else if (name == kOptHostName.str()) {
        AddList(value, c.hostNames);
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool RecipientAllowed(const Config& config, const std::string& recipient) {
    const std::string r = Lower(recipient);
    const auto at = r.rfind('@');
    for (const auto& entry : config.owners) {
        if (entry == r) return true;
    }
    for (const auto& entry : config.allowed) {
        if (entry == r) return true;
        if (entry.front() == '@' && at != std::string::npos && r.substr(at) == entry) return true;
    }
    return false;
}

std::map<std::string, std::string> ReadConfigFile(const std::string& path, std::string& error) {
    std::map<std::string, std::string> values;
    std::ifstream in(path);
    if (!in) {
        error = path;
        return values;
    }
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            error = line;
            return values;
        }
        values[Trim(line.substr(0, eq))] = Trim(line.substr(eq + 1));
    }
    return values;
}

std::optional<std::string> ParseConfig(const std::vector<std::string>& args, Config& c) {
    c = Config{};
    c.listen = texts::kDefaultListen.str();
    c.port = kDefaultNotifyPort;
    c.smtpUrl = texts::kDefaultSmtp.str();
    c.from = texts::kDefaultFrom.str();
    std::vector<std::pair<std::string, std::string>> cmd;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) != 0 || i + 1 >= args.size()) return args[i];
        cmd.emplace_back(args[i].substr(2), args[i + 1]);
        ++i;
    }
    // The file first, so that the command line can override any of its values.
    for (const auto& [name, value] : cmd) {
        if (name != texts::kOptConfig.str()) continue;
        std::string error;
        for (const auto& [k, v] : ReadConfigFile(value, error)) {
            if (!Apply(k, v, c)) return k;
        }
        if (!error.empty()) return error;
    }
    for (const auto& [name, value] : cmd) {
        if (name == texts::kOptPassword.str()) return texts::kNoPasswordOption.str();
        if (name != texts::kOptConfig.str() && !Apply(name, value, c)) return "--" + name;
    }
    return std::nullopt;
}

}  // namespace vellora::notifyd
