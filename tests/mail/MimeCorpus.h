// A corpus of messages built for the parser tests, each with the values a correct parse gives.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vtest::mime {

struct Expected {
    std::string subject, fromName, fromAddress;
    std::vector<std::string> bodyHas;  // pieces the UTF-8 body must contain
    std::string charset;
    int html = 0;
    std::vector<std::string> attachments;                     // names, in order
    std::vector<std::string> attachmentData;                  // decoded contents ("" = skip)
    std::vector<std::pair<std::string, std::string>> to, cc;  // name, address
    std::vector<std::string> inlineIds;                       // content ids, in order
};

struct Case {
    std::string name;
    std::string raw;
    Expected expected;
};

// The corpus: at least twenty well-formed messages of the kinds mail programs send.
std::vector<Case> Corpus();

// "\n" to "\r\n", and the four characters "\xHH" to the byte HH, so that 8-bit messages can be
// written readably.
std::string Raw(const std::string& text);

}  // namespace vtest::mime
