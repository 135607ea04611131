// Runs a built print helper the way the dispatcher does (argument text `<id>@"<path>"`, a
// private installation folder, the private CUPS server as default) and reads back its job
// record and the log.
#pragma once

#include <chrono>
#include <map>
#include <string>

#include "shared/AppFolder.h"
#include "shared/modJob.h"
#include "tests/support/Cups.h"
#include "tests/support/TestSupport.h"

namespace vtest::helpers {

struct HelperResult {
    int exitCode = -1;  // -1: still running at the time-out (then stopped)
    std::string record;
    std::chrono::milliseconds took{0};
};

class HelperRunner {
  public:
    HelperRunner(const Cups& cups, std::string program)
        : cups_(cups), program_(std::move(program)) {}

    HelperResult Run(const std::string& argumentText, const std::string& jobId,
                     const std::map<std::string, std::string>& env = {},
                     std::chrono::milliseconds timeout = std::chrono::seconds(90)) {
        Process::Options options = cups_.ProcessOptions();
        options.env["VELLORA_FOLDER"] = install_.path();
        for (const auto& [k, v] : baseEnv_) options.env[k] = v;
        for (const auto& [k, v] : env) options.env[k] = v;
        options.stdoutFile = install_ / "helper-output.txt";
        HelperResult result;
        const auto start = std::chrono::steady_clock::now();
        Process p({BinDir() + "/" + program_, argumentText}, options);
        result.exitCode = p.wait(timeout);
        result.took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        if (result.exitCode == -1) p.stop();
        result.record = Record(jobId);
        return result;
    }
    HelperResult RunOn(const std::string& path,
                       const std::map<std::string, std::string>& env = {}) {
        const std::string id = std::to_string(++lastId_);
        return Run(id + "@\"" + path + "\"", id, env);
    }

    std::string Record(const std::string& jobId) {
        vellora::SetAppFolderForTesting(install_.path());
        modJob::ResetForTesting();
        modJob::InitJobStore();
        return modJob::ReadJobRecord(jobId);
    }
    std::string Log() const { return ReadFile(install_ / "vellora.log"); }
    static const modJob::StatusTexts& Status() {
        modJob::InitJobStore();
        return modJob::Status();
    }
    const std::string& Install() const { return install_.path(); }
    // Environment values for every run (a run's own values win).
    void SetBaseEnv(std::map<std::string, std::string> env) { baseEnv_ = std::move(env); }

  private:
    const Cups& cups_;
    std::string program_;
    TempDir install_{"helper-install"};
    std::map<std::string, std::string> baseEnv_;
    int lastId_ = 4200000;
};

}  // namespace vtest::helpers
