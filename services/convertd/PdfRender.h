// Renders every page of a PDF into PNG files. It runs in a child process of the service
// (the service's own program started with --render-pdf), so a document that makes Poppler
// hang, crash or eat memory takes down only that child, under the service's watchdog.
#pragma once

#include <string>

namespace vellora::convertd {

// Exit codes of the render child.
enum RenderCode {
    kRenderOk = 0,
    kRenderUsage = 2,
    kRenderUnreadable = 3,
    kRenderLocked = 4,
    kRenderTooManyPages = 5,
    kRenderNoPages = 6,
    kRenderWriteFailed = 7
};

// Writes <outPrefix>-001.png, -002.png ... at dpi (lower for pages so large that the picture
// would pass maxPixels). Returns one of the codes above.
int RenderPdf(const std::string& pdf, const std::string& outPrefix, int dpi, int maxPages,
              long maxPixels);

// The child's main: --render-pdf <pdf> <outPrefix> <maxPages>.
int RenderPdfMain(int argc, char** argv);

}  // namespace vellora::convertd
