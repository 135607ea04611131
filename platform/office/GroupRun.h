// Runs one program in a process group of its own, with standard input from /dev/null and its
// output in a file, under a watchdog: when the time is up the whole group is killed, so an
// office program that hangs (or leaves children behind) can never outlive the run.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace vellora::office {

struct GroupRunResult {
    bool started = false;
    bool timedOut = false;
    int exitCode = -1;  // when it exited normally
    int signal = 0;     // when a signal ended it
    std::string error;  // why it could not be started
};

// Extra environment values are set on top of our own environment.
GroupRunResult RunInOwnGroup(const std::vector<std::string>& argv,
                             const std::map<std::string, std::string>& extraEnv,
                             const std::string& outputFile, std::chrono::milliseconds timeout);

}  // namespace vellora::office
