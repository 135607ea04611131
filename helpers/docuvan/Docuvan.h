// Docuvan's print step: the viewer route when the viewer option is on (also when it was
// never saved), and the conversion service when it is off or when any step of the viewer
// route fails. A failing viewer route leaves no record and no log entry of its own.
#pragma once

#include <functional>
#include <memory>

#include "helpers/docuvan/PdfViewer.h"
#include "helpers/frame/HelperFrame.h"

namespace docuvan {

using ServiceRoute =
    std::function<void(vellora::helper::HelperRun&, const vellora::helper::ConversionRequest&)>;
using ViewerFactory = std::function<std::unique_ptr<PdfViewer>()>;

// The settings value of the viewer option; -1 when absent.
int ReadViewerOption();

// The print step. Writes the final record itself (done after the viewer route, or whatever
// the service route wrote last).
vellora::helper::Outcome PrintPdf(vellora::helper::HelperRun& run, const ViewerFactory& viewer,
                                  const ServiceRoute& service, int viewerOption);

vellora::helper::HelperSetup DocuvanSpec();

}  // namespace docuvan
