// Starting further programs from a helper (the picture converter, Pictor sub-runs) and the
// file test the helpers wait on.
#pragma once

#include <sys/types.h>

#include <string>

namespace vellora::helper {

// Starts `program` with the argument text as its one argument, without a shell, in a new
// session, with standard input and output on /dev/null, and does not wait for it. Returns the
// process id, or -1 when it could not be started.
pid_t StartDetached(const std::string& program, const std::string& argumentText);

// True when path names an existing file that is not a folder; false on any error.
bool FileExists(const std::string& path);

}  // namespace vellora::helper
