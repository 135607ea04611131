// Our two services, started from the build's bin folder on free loopback ports, each with
// its own folders and log, and stopped by their process id.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace vtest {

class NotifyService {
  public:
    struct Options {
        std::string smtpUrl;  // the relay, e.g. SmtpServer::url()
        std::string tls = "none";
        std::string user, password;
        std::string from = "vellora@localhost";
        int timeoutSeconds = 10;
        // Whom it may notify; the tests' mails go to example.test.
        std::string allow = "@example.test";
        std::string owner;
        int mailsPerMinute = 1000;
        std::vector<std::string> extraArgs;
    };
    explicit NotifyService(const Options& options);
    NotifyService(const NotifyService&) = delete;
    NotifyService& operator=(const NotifyService&) = delete;

    int port() const { return port_; }
    std::string url() const;  // http://127.0.0.1:<port>
    std::string log() const { return ReadFile(dir_ / "notifyd.log"); }
    pid_t pid() const { return process_.pid(); }
    bool running() { return process_.running(); }
    void stop() { process_.stop(); }

  private:
    TempDir dir_{"notifyd"};
    int port_ = 0;
    Process process_;
};

class ConvertService {
  public:
    struct Options {
        long maxUploadBytes = 0;  // 0: the service's default
        int timeLimitSeconds = 0;
        int keepSeconds = 0;   // how long results stay
        int sweepSeconds = 0;  // how often old results are removed
        std::vector<std::string> extraArgs;
        std::map<std::string, std::string> env;  // for the service's process
    };
    ConvertService() : ConvertService(Options{}) {}
    explicit ConvertService(const Options& options);
    ConvertService(const ConvertService&) = delete;
    ConvertService& operator=(const ConvertService&) = delete;

    int port() const { return port_; }
    std::string url() const;  // http://127.0.0.1:<port>
    std::string resultsDir() const { return dir_ / "results"; }
    std::string workDir() const { return dir_ / "work"; }
    std::string log() const { return ReadFile(dir_ / "convertd.log"); }
    pid_t pid() const { return process_.pid(); }
    bool running() { return process_.running(); }
    void stop() { process_.stop(); }

  private:
    TempDir dir_{"convertd"};
    int port_ = 0;
    Process process_;
};

}  // namespace vtest
