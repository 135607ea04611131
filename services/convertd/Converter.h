// Turns one uploaded document into PNG pages: PDF through Poppler, pictures through
// ImageMagick held to one reader, office documents through the office layer and then Poppler.
// Every step runs as a child process in its own group under one deadline.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "platform/confine/Confine.h"

namespace vellora::convertd {

enum class Family { Pdf, Picture, Office, Unknown };

// The family a type token names (letter case does not matter); for pictures also the
// ImageMagick reader to use.
Family FamilyOf(const std::string& type, std::string* coder = nullptr);

struct ConvertLimits {
    std::chrono::steady_clock::time_point deadline;
    int maxPages = 200;
    std::string convertProgram;  // ImageMagick's convert
    std::string selfProgram;     // this service's program, for the PDF render child
    // Every child that reads the upload runs in the sandbox, with the work folder as the only
    // one it may write; Required: where the sandbox cannot run, nothing is converted.
    confine::Mode confinement = confine::Mode::Auto;
};

struct Conversion {
    int status = 200;                // the HTTP status to answer with
    std::string error;               // when status is not 200
    std::vector<std::string> pages;  // PNG files written, in page order (full paths)
};

// Converts `input` (whose family is `family`) into PNG files named <outPrefix>-NNN.png.
// `workDir` is a private folder for intermediate files.
Conversion Convert(const std::string& input, const std::string& type, const std::string& workDir,
                   const std::string& outPrefix, const ConvertLimits& limits);

}  // namespace vellora::convertd
