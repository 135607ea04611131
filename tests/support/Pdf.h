// PDF documents for print tests: writing small text PDFs, and reading back what was printed
// through poppler-utils (pdfinfo, pdftotext, pdftoppm).
#pragma once

#include <string>
#include <vector>

namespace vtest {

// A PDF with one page per text (the text drawn in Helvetica near the top left), each page
// width x height points. pdftotext finds the texts again.
std::string MakePdf(const std::vector<std::string>& pageTexts, double width = 595,
                    double height = 842);

struct PdfInfo {
    int pages = -1;                // -1 when pdfinfo could not read the file
    double width = 0, height = 0;  // of the first page, in points
    bool encrypted = false;
};
PdfInfo ReadPdfInfo(const std::string& path);
// Text of the whole document (or of pages first..last, 1-based, when given).
std::string PdfText(const std::string& path, int first = 0, int last = 0);
// Renders page `page` (1-based) to a PNG at `dpi` and returns the PNG's path (beside outBase).
std::string PdfPageToPng(const std::string& path, int page, const std::string& outBase,
                         int dpi = 20);

}  // namespace vtest
