#include "services/convertd/PdfRender.h"

#include <sys/resource.h>

#include <poppler-document.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "services/convertd/ConvertTexts.h"

namespace vellora::convertd {
namespace {

void Silence(const std::string&, void*) {}

}  // namespace

int RenderPdf(const std::string& pdf, const std::string& outPrefix, int dpi, int maxPages,
              long maxPixels) {
    poppler::set_debug_error_function(Silence, nullptr);
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(pdf));
    if (!doc) return kRenderUnreadable;
    // A locked document must not be asked for its pages.
    if (doc->is_locked()) return kRenderLocked;
    const int pages = doc->pages();
    if (pages <= 0) return kRenderNoPages;
    if (pages > maxPages) return kRenderTooManyPages;
    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    renderer.set_image_format(poppler::image::format_rgb24);
    const std::string format = texts::kPageFormat.str();
    for (int i = 0; i < pages; ++i) {
        std::unique_ptr<poppler::page> page(doc->create_page(i));
        if (!page) return kRenderUnreadable;
        const poppler::rectf box = page->page_rect();
        double res = dpi;
        const double pixels = box.width() * box.height() * (res / 72.0) * (res / 72.0);
        if (pixels > static_cast<double>(maxPixels)) res *= std::sqrt(maxPixels / pixels);
        const poppler::image img = renderer.render_page(page.get(), res, res);
        if (!img.is_valid()) return kRenderUnreadable;
        char name[64];
        std::snprintf(name, sizeof name, format.c_str(), i + 1);
        if (!img.save(outPrefix + name, texts::kPngFormat.str(), static_cast<int>(res))) {
            return kRenderWriteFailed;
        }
    }
    return kRenderOk;
}

int RenderPdfMain(int argc, char** argv) {
    if (argc != 5) return kRenderUsage;
    // However strange the document, the child stays within a bounded share of the machine.
    const rlim_t memory = 2048L * 1024 * 1024;
    rlimit limit{memory, memory};
    setrlimit(RLIMIT_AS, &limit);
    const int maxPages = std::atoi(argv[4]);
    return RenderPdf(argv[2], argv[3], 150, maxPages > 0 ? maxPages : 1, 60L * 1000 * 1000);
}

}  // namespace vellora::convertd
