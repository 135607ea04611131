// The conversion service's settings, all from its command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/confine/Confine.h"

namespace vellora::convertd {

struct Options {
    std::string listen;
    int port = 0;
    std::string resultsDir, workDir;
    long maxUploadBytes = 50L * 1024 * 1024;
    int timeLimitSeconds = 120;  // one conversion, from upload to the last page
    int keepSeconds = 3600;      // results older than this are removed
    int sweepSeconds = 60;
    int maxPages = 200;
    int jobs = 2;  // conversions at once; further uploads wait for a free one
    std::string convertProgram;
    std::string logFile;
    int requestSeconds = 10;             // a whole request, upload included, must arrive in this
    std::vector<std::string> hostNames;  // names it answers for beyond its own address
    // auto: children run in the sandbox where it can run; required: nowhere else.
    confine::Mode confinement = confine::Mode::Auto;
};

// Parses "--name value" pairs (without the program name); the reason on a bad option.
std::optional<std::string> ParseOptions(const std::vector<std::string>& args, Options& out);

}  // namespace vellora::convertd
