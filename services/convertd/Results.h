// The result folder: names the service makes itself, moving finished pages in, serving them,
// and removing old ones.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace vellora::convertd {

// 32 lower-case hex digits from the system's random source: unguessable and never taken from
// anything a caller sent.
std::string NewToken();

// Moves the pages into `resultsDir` as <token>-NNN.png and returns their names, in order.
// Empty (and nothing left behind) when a move failed.
std::vector<std::string> PublishPages(const std::vector<std::string>& pages,
                                      const std::string& resultsDir, const std::string& token);

// True when `name` is a name PublishPages makes.
bool IsResultName(const std::string& name);

// Removes entries of `folder` whose last change is older than maxAge. Returns how many.
int RemoveOlderThan(const std::string& folder, std::chrono::seconds maxAge);

}  // namespace vellora::convertd
