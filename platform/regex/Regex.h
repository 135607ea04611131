// A compiled regular expression in the JavaScript dialect (PCRE2 underneath). Matching is
// case-sensitive and finds the first match anywhere in the text. A match that runs into the
// engine's work limits (a pattern that backtracks without end on a large text) reports an
// error instead of running on, so no caller can freeze on a hostile message.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vellora::regex {

enum class MatchOutcome { Match, NoMatch, Error };

class Regex {
  public:
    // Compiles pattern; check ok() and error() afterwards.
    explicit Regex(std::string_view pattern);
    ~Regex();
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;

    bool ok() const { return code_ != nullptr; }
    // Why the pattern did not compile, or why the last search failed.
    const std::string& error() const { return error_; }

    MatchOutcome Search(std::string_view text);

  private:
    struct Code;
    Code* code_ = nullptr;
    std::string error_;
};

// Empty when pattern compiles; otherwise the engine's description and the offset.
std::string PatternError(std::string_view pattern);

// The work limits applied to every search (exposed so tests can reason about them).
struct Limits {
    unsigned match = 2'000'000;    // backtracking steps
    unsigned depthKiB = 2'000;     // backtracking depth
    unsigned heapKiB = 32 * 1024;  // memory of one search
};
const Limits& SearchLimits();

}  // namespace vellora::regex
