// What Docuvan asks of a PDF viewer, call for call: open the document, count its pages,
// print a range of them silently, close it. Every call throws when it cannot be done.
// The real viewer is Poppler for the document and CUPS for the printing.
#pragma once

#include <memory>
#include <string>

namespace docuvan {

class PdfViewer {
  public:
    virtual ~PdfViewer() = default;
    virtual void Open(const std::string& path) = 0;
    virtual int GetNumPages() = 0;  // of the open document
    // Pages counted from 0; every page scaled down to the paper when shrinkToFit.
    virtual void PrintPagesSilent(int firstPage, int lastPage, bool shrinkToFit) = 0;
    virtual void Close() = 0;
};

// Poppler opens and counts (a locked or unprintable document is refused without touching
// its pages); CUPS prints on the default printer.
std::unique_ptr<PdfViewer> MakePopplerViewer();

}  // namespace docuvan
