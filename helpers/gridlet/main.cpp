// modGridlet: open the document read-only, print it, close it, quit the office program, then
// record the job done and release what the run held.
#include "helpers/gridlet/GridletTexts.h"
#include "helpers/officeprint/OfficePrint.h"

int main(int argc, char** argv) {
    using namespace vellora::helper;
    HelperSetup setup;
    setup.style = ParseStyle::kKeepQuotes;
    setup.errorText = gridlet::texts::kError.str();
    // Outlives the run: the done record is written first, the PDF released after it.
    vellora::officeprint::PrintedCopy copy;
    return RunHelper(argc, argv, setup, [&](HelperRun& run) {
        vellora::officeprint::PrintDocument(run, copy);
        return Outcome::kPrinted;
    });
}
