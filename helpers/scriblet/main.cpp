// modScriblet: open the document read-only, print it, close it, quit the office program, then
// record the job done and release what the run held.
#include "helpers/officeprint/OfficePrint.h"
#include "helpers/scriblet/ScribletTexts.h"

int main(int argc, char** argv) {
    using namespace vellora::helper;
    HelperSetup setup;
    setup.style = ParseStyle::kKeepQuotes;
    setup.errorText = scriblet::texts::kError.str();
    // Outlives the run: the done record is written first, the PDF released after it.
    vellora::officeprint::PrintedCopy copy;
    return RunHelper(argc, argv, setup, [&](HelperRun& run) {
        vellora::officeprint::PrintDocument(run, copy);
        return Outcome::kPrinted;
    });
}
