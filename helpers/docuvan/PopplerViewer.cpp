#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>

#include <filesystem>

#include "helpers/docuvan/PdfViewer.h"
#include "helpers/frame/HelperFrame.h"
#include "shared/Literal.h"

namespace docuvan {
namespace {
using vellora::helper::HelperFailure;

void Quiet(const std::string&, void*) {}  // Poppler's complaints about broken files

class PopplerViewer : public PdfViewer {
  public:
    void Open(const std::string& path) override {
        poppler::set_debug_error_function(Quiet, nullptr);
        doc_.reset(poppler::document::load_from_file(path));
        if (!doc_) throw HelperFailure(VL("the document cannot be opened"));
        path_ = path;
    }

    int GetNumPages() override {
        Opened();
        // A locked document must not have its pages touched.
        if (doc_->is_locked()) throw HelperFailure(VL("the document is locked"));
        if (!doc_->has_permission(poppler::perm_print))
            throw HelperFailure(VL("the document may not be printed"));
        return doc_->pages();
    }

    void PrintPagesSilent(int firstPage, int lastPage, bool shrinkToFit) override {
        Opened();
        if (firstPage < 0 || lastPage < firstPage)
            throw HelperFailure(VL("there are no pages to print"));
        vellora::print::PrintOptions o;
        o.fitToPage = shrinkToFit;
        o.pageRanges = std::to_string(firstPage + 1) + "-" + std::to_string(lastPage + 1);
        vellora::helper::PrintOnDefault(path_, std::filesystem::path(path_).filename().string(), o);
    }

    void Close() override { doc_.reset(); }

  private:
    void Opened() const {
        if (!doc_) throw HelperFailure(VL("no document is open"));
    }
    std::unique_ptr<poppler::document> doc_;
    std::string path_;
};

}  // namespace

std::unique_ptr<PdfViewer> MakePopplerViewer() {
    return std::make_unique<PopplerViewer>();
}

}  // namespace docuvan
