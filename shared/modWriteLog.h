// The shared error log: one append-only text file in the installation folder, written by
// every error trap of every program. Nobody reads it but the person looking after the machine.
#pragma once

#include <stdexcept>
#include <string>

namespace modWriteLog {

// Raised when the log cannot be opened or written; the caller decides what that means.
struct LogError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Appends one entry: time stamp, a blank, the text, and an empty line. The entry goes out in
// one write on a file opened for appending, so entries of programs writing at once never mix.
void WriteLog(const std::string& text);

// The log file's full path.
std::string LogFilePath();

}  // namespace modWriteLog
