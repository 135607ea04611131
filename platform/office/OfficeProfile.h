// The office program's user profile. Building one from nothing costs a start-up and a
// restart; copying a prepared one costs milliseconds. The prepared one lives in a cache
// folder and is made once, on first use, by a warm-up conversion.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "platform/confine/Confine.h"
#include "platform/office/GroupRun.h"

namespace vellora::office {

// The environment the office program runs with: what its start script would set, and a
// temporary folder of the run's own (a program stopped by the watchdog leaves its temporary
// files there, and they go with the run's folder).
std::map<std::string, std::string> OfficeEnvironment(const std::string& tempFolder);

// The office program's arguments for converting `document` into a PDF in `outDir`, with an
// import filter when one is named.
std::vector<std::string> ConvertArguments(const std::string& program, const std::string& profile,
                                          const std::string& document, const std::string& outDir,
                                          const std::string& importFilter = {});

// Runs the office program (args from ConvertArguments) in its own process group and, where
// it can, in the sandbox: it may write only into `runFolders` (the document's copy, the
// profile, the output, its temporary files), the first of which is its home. When the sandbox
// is required but cannot run, nothing starts and the result's error says why.
GroupRunResult RunOffice(const std::vector<std::string>& args,
                         const std::vector<std::string>& runFolders, const std::string& log,
                         std::chrono::milliseconds timeout, confine::Mode mode);

// A private profile for one run at `target` (which must not exist yet), copied from the
// prepared one (made now if missing) and given the office program's safeguards
// (OfficeHardening.h). Empty on success, else what went wrong.
std::string MakePrivateProfile(const std::string& program, const std::string& cacheFolder,
                               const std::string& target, std::chrono::milliseconds timeout,
                               confine::Mode mode = confine::Mode::Auto);

// "file://" URL of a local path, with everything but unreserved characters escaped.
std::string FileUrl(const std::string& path);

}  // namespace vellora::office
