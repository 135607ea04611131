#define PCRE2_CODE_UNIT_WIDTH 8
#include "platform/regex/Regex.h"

#include <pcre2.h>

namespace vellora::regex {

struct Regex::Code {
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    ~Code() {
        pcre2_match_context_free(context);
        pcre2_jit_stack_free(jitStack);
        pcre2_match_data_free(data);
        pcre2_code_free(code);
    }
};

namespace {

// JavaScript's $ matches only at the very end, \u and \x{..} escapes as in JavaScript, an
// unset back-reference matches the empty string. Texts are UTF-8, possibly broken: invalid
// sequences simply never match instead of failing the search.
constexpr uint32_t kCompileOptions = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX |
                                     PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY;

std::string Describe(int code) {
    PCRE2_UCHAR buf[256];
    const int n = pcre2_get_error_message(code, buf, sizeof buf);
    return n < 0 ? "regular expression error " + std::to_string(code)
                 : std::string(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(n));
}

pcre2_code* CompilePattern(std::string_view pattern, std::string& error) {
    pcre2_compile_context* cc = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(cc, PCRE2_NEWLINE_ANYCRLF);
    pcre2_set_compile_extra_options(cc, PCRE2_EXTRA_ALT_BSUX);
    int code = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* re = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                   kCompileOptions, &code, &offset, cc);
    pcre2_compile_context_free(cc);
    if (!re) error = Describe(code) + " (at offset " + std::to_string(offset) + ")";
    return re;
}

}  // namespace

const Limits& SearchLimits() {
    static const Limits limits;
    return limits;
}

Regex::Regex(std::string_view pattern) {
    pcre2_code* re = CompilePattern(pattern, error_);
    if (!re) return;
    code_ = new Code;
    code_->code = re;
    pcre2_jit_compile(re, PCRE2_JIT_COMPLETE);  // falls back to the interpreter when refused
    code_->data = pcre2_match_data_create_from_pattern(re, nullptr);
    code_->context = pcre2_match_context_create(nullptr);
    const Limits& l = SearchLimits();
    pcre2_set_match_limit(code_->context, l.match);
    pcre2_set_depth_limit(code_->context, l.depthKiB);
    pcre2_set_heap_limit(code_->context, l.heapKiB);
    // The default JIT stack (32 KiB) is too small for patterns like (a|b)* over a large body.
    code_->jitStack = pcre2_jit_stack_create(32 * 1024, 1024 * 1024, nullptr);
    if (code_->jitStack) pcre2_jit_stack_assign(code_->context, nullptr, code_->jitStack);
}

Regex::~Regex() {
    delete code_;
}

MatchOutcome Regex::Search(std::string_view text) {
    if (!code_) return MatchOutcome::Error;
    const int rc = pcre2_match(code_->code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(),
                               0, 0, code_->data, code_->context);
    if (rc >= 0) return MatchOutcome::Match;
    if (rc == PCRE2_ERROR_NOMATCH) return MatchOutcome::NoMatch;
    error_ = Describe(rc);
    return MatchOutcome::Error;
}

std::string PatternError(std::string_view pattern) {
    std::string error;
    pcre2_code* re = CompilePattern(pattern, error);
    pcre2_code_free(re);
    return error;
}

}  // namespace vellora::regex
