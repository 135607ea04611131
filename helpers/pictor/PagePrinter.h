// The printer object of the picture helper: one page of the default printer's paper, the
// picture painted on it where the layout put it, sent to CUPS as a PDF.
#pragma once

#include <QImage>
#include <string>

#include "helpers/pictor/PictureLogic.h"
#include "platform/print/CupsPrint.h"

namespace pictor {

// Writes the page to pdfPath: paper `paper` (upright) turned as the placement says.
void RenderPage(const QImage& image, const Placement& placement,
                const vellora::print::PageSize& paper, const std::string& pdfPath);

}  // namespace pictor
