#include "helpers/docuvan/Docuvan.h"

#include "helpers/docuvan/DocuvanTexts.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modJob.h"

namespace docuvan {
namespace {
using namespace vellora::helper;

// True when the document was printed and closed and the done record written.
bool ViewerRoute(HelperRun& run, const ViewerFactory& makeViewer) {
    try {
        std::unique_ptr<PdfViewer> viewer = makeViewer();
        run.SetStep(25);
        const std::string path = RemoveQuotes(run.Line().path);
        viewer->Open(path);
        run.SetStep(26);  // nothing pending to let run: no window, no message loop
        run.SetStep(27);
        const int pages = viewer->GetNumPages();
        run.SetStep(28);
        viewer->PrintPagesSilent(0, pages - 1, true);
        run.SetStep(30);
        viewer->Close();
        run.Finish(modJob::Status().done);
        return true;
    } catch (const std::exception&) {
        return false;  // the service route takes over, without a word about the viewer
    }
}

}  // namespace

int ReadViewerOption() {
    return basINI_IO::ReadSettingNumber(basINI_IO::SettingsPath(),
                                        vellora::texts::kGeneralSection.str(),
                                        vellora::texts::kKeyUseViewer.str());
}

Outcome PrintPdf(HelperRun& run, const ViewerFactory& viewer, const ServiceRoute& service,
                 int viewerOption) {
    run.SetStep(20);
    if (viewerOption != 0 && ViewerRoute(run, viewer)) return Outcome::kRecorded;
    run.SetStep(40);
    service(run, {ConversionUser::kDocuvan, RemoveQuotes(run.Line().path), texts::kPdfType.str()});
    return Outcome::kRecorded;
}

HelperSetup DocuvanSpec() {
    HelperSetup setup;
    setup.style = ParseStyle::kStripQuotes;
    setup.errorText = texts::kError.str();
    setup.stepSeparator = texts::kStepSeparator.str();
    setup.parseStep = 10;
    setup.activeStep = 10;
    return setup;
}

}  // namespace docuvan
