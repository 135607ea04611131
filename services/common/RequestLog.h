// What both services share around cpp-httplib: one log line per request, and a clean stop
// on SIGTERM or SIGINT (systemd stops a unit with SIGTERM).
#pragma once

#include <httplib.h>

#include <functional>
#include <string>

namespace vellora::service {

// Opens the log (empty path: standard error). Lines are written whole, one per request.
bool OpenLog(const std::string& path);
void LogLine(const std::string& line);

// time, peer, method, path, status, and the first line of the answer (cut at 200 bytes).
void LogRequest(const httplib::Request& req, const httplib::Response& res,
                const std::string& extra = {});

// Blocks SIGTERM and SIGINT in every thread, and calls `stop` when one arrives.
void StopOnSignals(std::function<void()> stop);

// Sets the answer to a plain text with a final line feed.
void Answer(httplib::Response& res, int status, const std::string& text);

}  // namespace vellora::service
