// The office layer: turns one office document into a PDF with LibreOffice, the way the
// office helpers (and the conversion service) need it: never a dialog, never a leftover
// process, and success only when a PDF with pages exists.
#pragma once

#include <chrono>
#include <string>

#include "platform/confine/Confine.h"

namespace vellora::office {

struct ConvertResult {
    bool ok = false;
    std::string pdfPath;  // inside the caller's output folder; the caller owns it
    int pages = 0;
    std::string error;  // what went wrong, readable by a person
};

struct ConvertOptions {
    std::chrono::milliseconds timeout = std::chrono::seconds(120);
    // The office program; empty: $VELLORA_OFFICE_PROGRAM, else LibreOffice's soffice.bin.
    std::string program;
    // Where the prepared profile is kept; empty: $VELLORA_OFFICE_CACHE, else the user's cache.
    std::string cacheFolder;
    // The office program runs in the sandbox where it can; Required: nowhere else.
    confine::Mode confinement = confine::Mode::Auto;
};

// Converts `input` into a PDF placed in `outDir` (which must exist). The document is copied
// into a private folder first and the office program gets a private profile, so concurrent
// runs never disturb each other and the original is never touched.
ConvertResult ConvertToPdf(const std::string& input, const std::string& outDir,
                           const ConvertOptions& options);
ConvertResult ConvertToPdf(const std::string& input, const std::string& outDir,
                           std::chrono::milliseconds timeout);

// The checks made before the office program sees a file: it exists, is not empty, and its
// contents match the family its extension names. Empty when the file may be converted.
std::string CheckDocument(const std::string& input);

// The import filter a document needs named, or "" to let the office program choose: an HTML
// page under an old word-processor or presentation name is read into Writer (left to itself,
// LibreOffice 7.4 opens it in Writer/Web, whose PDF export prints blank pages).
std::string ImportFilterFor(const std::string& input);

}  // namespace vellora::office
