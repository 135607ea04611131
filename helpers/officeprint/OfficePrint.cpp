#include "helpers/officeprint/OfficePrint.h"

#include <stdlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "helpers/frame/Confinement.h"
#include "platform/office/Office.h"
#include "shared/Literal.h"

namespace vellora::officeprint {
namespace {

using helper::Duration;
using helper::HelperFailure;

}  // namespace

const std::string& PrintedCopy::Folder() {
    if (!folder_.empty()) return folder_;
    const char* tmp = std::getenv(VL("TMPDIR").c_str());
    std::string name = (tmp != nullptr && *tmp != '\0' ? std::string(tmp) : VL("/tmp")) +
                       VL("/vellora-office-XXXXXX");
    if (::mkdtemp(name.data()) == nullptr)
        throw HelperFailure(name + VL(": ") + std::strerror(errno));
    folder_ = name;
    return folder_;
}

void PrintedCopy::Release() {
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
    folder_.clear();
}

void PrintDocument(helper::HelperRun& run, PrintedCopy& copy) {
    // The office program takes a path, not a quoted command-line piece.
    const std::string path = helper::RemoveQuotes(run.Line().path);

    // Open read-only and print: the office program converts a private copy and ends; its
    // alerts cannot appear (it runs headless), and it leaves nothing running.
    run.SetStep(30);
    office::ConvertOptions options;
    options.timeout = vellora::helper::SecondsFromEnvironment(VL("VELLORA_OFFICE_TIMEOUT"),
                                                              std::chrono::seconds(120));
    options.confinement = vellora::helper::ConfinementMode();
    vellora::helper::ReportUnconfinedToLog();
    const auto converted = office::ConvertToPdf(path, copy.Folder(), options);
    if (!converted.ok) throw HelperFailure(converted.error);

    run.SetStep(40);
    // A document laid out for other paper is scaled onto the printer's, never cut off.
    print::PrintOptions printOptions;
    printOptions.fitToPage = true;
    helper::PrintOnDefault(converted.pdfPath, std::filesystem::path(path).filename().string(),
                           printOptions);
}

Duration SlidorPause() {
    return vellora::helper::SecondsFromEnvironment(VL("VELLORA_SLIDOR_PRINT_WAIT"),
                                                   std::chrono::seconds(2));
}

void Pause(helper::HelperRun& run, Duration pause) {
    helper::WaitUntil([] { return false; }, pause, run.GetClock(), Duration(50));
}

}  // namespace vellora::officeprint
