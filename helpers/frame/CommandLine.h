// The helpers' command lines. The launcher passes the argument text after the program path
// as one argument; the three parsings then cut it exactly as the dispatcher built it:
//   <JobID>@"<document path>"             Docuvan, Webbin, Scriblet, Gridlet, Slidor
//   <JobID>@"<document path>" <type>      Pictor
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vellora::helper {

enum class ParseStyle {
    kPictor,       // split at `" `, then at "@"; quotes removed; type token second
    kStripQuotes,  // Docuvan, Webbin: split at "@"; every double quote removed from the path
    kKeepQuotes,   // Scriblet, Gridlet, Slidor: split at "@"; the path keeps its quotes
};

struct CommandLine {
    std::string jobId;
    std::string path;
    std::string typeToken;  // Pictor only
};

// A piece the parsing needs is missing, as when a split has fewer pieces than it should.
struct CommandLineError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Every piece between occurrences of sep (an empty text gives one empty piece).
std::vector<std::string> Split(std::string_view text, std::string_view sep);
std::string RemoveQuotes(std::string_view text);

// The argument text: argv[1..] joined by blanks (normally there is exactly one).
std::string ArgumentText(int argc, char** argv);

// The job id alone, which never fails: the first piece, so that a line without "@" gives
// the whole text (or, for Pictor, everything before the first `" `).
std::string JobIdOf(std::string_view text, ParseStyle style);

// The whole parsing; throws CommandLineError when the path or the type token is missing.
CommandLine Parse(std::string_view text, ParseStyle style);

}  // namespace vellora::helper
