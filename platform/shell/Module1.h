// The operating-system services of the main program: starting helper programs, opening a
// document or web address by association, testing for a file, and a checked counter step.
// Programs are started and forgotten: nothing here waits for one.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace Module1 {

// Raised by ShellRun when the shell's result code is 31 or less; number = 4000 + code.
struct ShellError : std::runtime_error {
    ShellError(std::int32_t code, const std::string& what)
        : std::runtime_error(what), number(4000 + code) {}
    std::int32_t number;
};

// Result codes in the shell's own numbering.
inline constexpr std::int32_t kShellOk = 42;
inline constexpr std::int32_t kFileNotFound = 2;
inline constexpr std::int32_t kPathNotFound = 3;
inline constexpr std::int32_t kAccessDenied = 5;
inline constexpr std::int32_t kOutOfMemory = 8;
inline constexpr std::int32_t kNoAssociation = 31;

// A helper's command line taken apart: the program and its argument text.
struct LaunchParts {
    std::string program;
    std::string argumentText;  // passed on as one argument; empty: none
};
// A quoted program path ends at its closing quote. Otherwise the program path ends at the
// first blank after which the text before names an executable file, so that an installation
// folder with blanks in its name still works; with no such blank, at the first blank.
LaunchParts SplitLaunchLine(const std::string& cmdLine);

// Starts the command line's program in a new session (it outlives us), with standard input
// from /dev/null and without LPDEST and PRINTER, so the helper prints on the system default
// printer that the dispatcher chose. Returns the process id, or -1 when it did not start.
pid_t LaunchProgram(const std::string& cmdLine);

// Collects the exit status of finished programs we started, so none lingers as a zombie.
// Never blocks.
void ReapChildren();

// The parts ShellRun hands to the shell.
struct ShellParts {
    std::string file;
    std::string parameters;
    std::string workFolder;  // empty: the current folder
};
ShellParts SplitShellLine(const std::string& cmdLine,
                          const std::optional<std::string>& workFolder = std::nullopt);

// Opens a document or web address by association (xdg-open), or starts a program file with
// the parameters. The show command is accepted for its callers and has no effect here.
// Returns a code above 31; raises ShellError otherwise.
std::int32_t ShellRun(const std::string& cmdLine, std::int32_t showCommand,
                      const std::optional<std::string>& workFolder = std::nullopt);

// True when the path names something that exists and is not a folder; never fails.
bool FileExists(const std::string& path);

// Adds one and returns the new value; raises std::overflow_error at the largest value.
std::int32_t IncrementLong(std::int32_t& counter);

// Blank-separated words with double-quoted runs kept together (quotes removed).
std::vector<std::string> SplitParameters(const std::string& parameters);

}  // namespace Module1
