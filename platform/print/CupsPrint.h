// Printing a finished document on the default printer, for the helper programs: a helper
// renders or receives a PDF (or a picture) and hands it to CUPS in one call. CUPS refusing
// the job is a failure the helper reports; nothing is retried.
#pragma once

#include <map>
#include <string>

namespace vellora::print {

struct PrintOptions {
    bool fitToPage = false;  // scale every page into the printable area ("fit-to-page")
    std::string pageRanges;  // "1-3,5"; empty prints every page
    std::map<std::string, std::string> extra;  // further CUPS job options, name -> value
};

struct PrintResult {
    int jobId = 0;      // the CUPS job id when the job was accepted
    std::string error;  // why CUPS refused it (or why nothing was sent); empty on success
    bool ok() const { return jobId > 0; }
};

// Sends one file to the current default destination with cupsPrintFile2. The destination's
// own saved options apply first, then `options`. Fails with a description when there is no
// default printer, the file cannot be read, or CUPS refuses the job.
PrintResult PrintFile(const std::string& path, const std::string& title,
                      const PrintOptions& options = {});

// A page size in PostScript points (1/72 inch).
struct PageSize {
    double width = 0, height = 0;
};
inline constexpr PageSize kA4{595.28, 841.89};

// The default printer's default paper size, so pages are rendered as they will print;
// A4 when there is no default printer or it does not tell.
PageSize DefaultPaperSize();

// The default destination's name ("" when none); the same answer as CupsPrintSystem gives.
std::string DefaultDestination();

}  // namespace vellora::print
