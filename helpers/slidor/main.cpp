// modSlidor: open the presentation read-only, print it, pause 2 s, close it, quit the office
// program, release what the run held, and only then record the job done.
#include "helpers/officeprint/OfficePrint.h"
#include "helpers/slidor/SlidorTexts.h"

int main(int argc, char** argv) {
    using namespace vellora::helper;
    HelperSetup setup;
    setup.style = ParseStyle::kKeepQuotes;
    setup.errorText = slidor::texts::kError.str();
    return RunHelper(argc, argv, setup, [](HelperRun& run) {
        {
            vellora::officeprint::PrintedCopy copy;
            vellora::officeprint::PrintDocument(run, copy);
            run.SetStep(50);
            vellora::officeprint::Pause(run, vellora::officeprint::SlidorPause());
        }  // released here, before the frame writes the done record
        return Outcome::kPrinted;
    });
}
