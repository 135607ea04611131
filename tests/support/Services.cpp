#include "tests/support/Services.h"

#include <filesystem>
#include <stdexcept>

namespace vtest {
namespace {

Process StartAndWait(const std::vector<std::string>& argv, int port, const std::string& log,
                     const std::map<std::string, std::string>& env = {}) {
    Process::Options po;
    po.env = env;
    po.stdoutFile = log;
    Process p(argv, po);
    if (!WaitForTcpPort(port, std::chrono::seconds(15))) {
        throw std::runtime_error(argv[0] + " did not start: " + ReadFile(log));
    }
    return p;
}

}  // namespace

NotifyService::NotifyService(const Options& o) {
    port_ = FreeTcpPort();
    std::vector<std::string> argv = {BinDir() + "/vellora-notifyd",
                                     "--listen",
                                     "127.0.0.1",
                                     "--port",
                                     std::to_string(port_),
                                     "--smtp",
                                     o.smtpUrl,
                                     "--tls",
                                     o.tls,
                                     "--from",
                                     o.from,
                                     "--timeout",
                                     std::to_string(o.timeoutSeconds)};
    if (!o.user.empty()) {
        // Never on the command line: the service takes the password from a file.
        const std::string file = dir_ / "relay-password";
        WriteFile(file, o.password + "\n");
        argv.insert(argv.end(), {"--user", o.user, "--password-file", file});
    }
    if (!o.allow.empty()) argv.insert(argv.end(), {"--allow", o.allow});
    if (!o.owner.empty()) argv.insert(argv.end(), {"--owner", o.owner});
    argv.insert(argv.end(), {"--rate", std::to_string(o.mailsPerMinute)});
    argv.insert(argv.end(), o.extraArgs.begin(), o.extraArgs.end());
    process_ = StartAndWait(argv, port_, dir_ / "notifyd.log");
}

std::string NotifyService::url() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

ConvertService::ConvertService(const Options& o) {
    port_ = FreeTcpPort();
    std::filesystem::create_directories(resultsDir());
    std::filesystem::create_directories(workDir());
    std::vector<std::string> argv = {BinDir() + "/vellora-convertd",
                                     "--listen",
                                     "127.0.0.1",
                                     "--port",
                                     std::to_string(port_),
                                     "--results",
                                     resultsDir(),
                                     "--work",
                                     workDir()};
    if (o.maxUploadBytes > 0) {
        argv.insert(argv.end(), {"--max-upload", std::to_string(o.maxUploadBytes)});
    }
    if (o.timeLimitSeconds > 0) {
        argv.insert(argv.end(), {"--time-limit", std::to_string(o.timeLimitSeconds)});
    }
    if (o.keepSeconds > 0) argv.insert(argv.end(), {"--keep", std::to_string(o.keepSeconds)});
    if (o.sweepSeconds > 0) argv.insert(argv.end(), {"--sweep", std::to_string(o.sweepSeconds)});
    argv.insert(argv.end(), o.extraArgs.begin(), o.extraArgs.end());
    process_ = StartAndWait(argv, port_, dir_ / "convertd.log", o.env);
}

std::string ConvertService::url() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

}  // namespace vtest
