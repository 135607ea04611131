// Docuvan prints one PDF file: through the viewer (Poppler and CUPS) when it can, otherwise
// through the conversion service.
#include "helpers/docuvan/Docuvan.h"

int main(int argc, char** argv) {
    using namespace vellora::helper;
    return RunHelper(argc, argv, docuvan::DocuvanSpec(), [](HelperRun& run) {
        run.SetStep(20);
        const int option = docuvan::ReadViewerOption();
        return docuvan::PrintPdf(run, docuvan::MakePopplerViewer, ConvertRemotely, option);
    });
}
