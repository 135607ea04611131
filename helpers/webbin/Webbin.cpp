#include "helpers/webbin/Webbin.h"

#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "helpers/webbin/WebbinTexts.h"
#include "platform/html/HtmlToPdf.h"
#include "shared/Literal.h"
#include "shared/modJob.h"

namespace webbin {
namespace {

namespace t = texts;
using vellora::helper::Duration;
using vellora::helper::HelperFailure;
using vellora::helper::HelperRun;
using vellora::helper::Outcome;

// Lets the engine work for a moment. A running event loop, not processEvents: with
// processEvents alone, a page with a blocked frame or object never finished loading.
void LetEventsRun() {
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
}

std::mutex leftoverMutex;
std::string leftover;  // the PDF folder while it exists, for the watchdog

// A private folder for the PDF, gone when CUPS has the job (or, should the run be cut short,
// removed by the watchdog).
class PdfFolder {
  public:
    PdfFolder() {
        const char* tmp = std::getenv(VL("TMPDIR").c_str());
        std::string name =
            (tmp != nullptr && *tmp != '\0' ? std::string(tmp) : VL("/tmp")) + t::kPdfFolder.str();
        if (::mkdtemp(name.data()) == nullptr) throw HelperFailure(std::strerror(errno));
        path_ = name;
        std::lock_guard<std::mutex> lock(leftoverMutex);
        leftover = path_;
    }
    ~PdfFolder() {
        std::lock_guard<std::mutex> lock(leftoverMutex);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
        leftover.clear();
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace

void RemoveLeftovers() {
    std::lock_guard<std::mutex> lock(leftoverMutex);
    std::error_code ec;
    if (!leftover.empty()) std::filesystem::remove_all(leftover, ec);
    leftover.clear();
}

Waits WaitsFromEnvironment() {
    Waits waits;
    waits.load = vellora::helper::SecondsFromEnvironment(t::kLoadWaitVariable.str(), waits.load);
    waits.afterPrint =
        vellora::helper::SecondsFromEnvironment(t::kPrintWaitVariable.str(), waits.afterPrint);
    waits.watchdog = vellora::helper::SecondsFromEnvironment(
        t::kWatchdogVariable.str(), waits.load + waits.afterPrint + std::chrono::seconds(90));
    return waits;
}

Outcome PrintPage(HelperRun& run, const Waits& waits) {
    auto& clock = run.GetClock();
    run.SetStep(20);
    vellora::html::HtmlPage page(run.Line().path);
    if (!page.Problem().empty()) throw HelperFailure(page.Problem());
    page.Load();

    run.SetStep(30);
    const bool ready = vellora::helper::WaitUntil([&] { return page.Loaded(); }, waits.load, clock,
                                                  Duration(1), LetEventsRun);
    if (!ready) {
        const std::string text = modJob::Status().failed + t::kNotReady.str();
        run.FailWith(text, text);
        return Outcome::kRecorded;
    }

    run.SetStep(40);
    {
        PdfFolder folder;
        const std::string pdf = folder.path() + t::kPdfName.str();
        vellora::html::HtmlPdfOptions options;
        const auto paper = vellora::print::DefaultPaperSize();
        options.pageWidth = paper.width;
        options.pageHeight = paper.height;
        const auto result = page.PrintToPdf(pdf, options);
        if (result.outcome != vellora::html::HtmlOutcome::Printed)
            throw HelperFailure(result.error);
        vellora::helper::PrintOnDefault(pdf, std::filesystem::path(run.Line().path).filename());
    }

    // The spooler's time: printing is not confirmed beyond CUPS taking the job.
    run.SetStep(50);
    vellora::helper::WaitUntil([] { return false; }, waits.afterPrint, clock, Duration(50),
                               LetEventsRun);
    return Outcome::kPrinted;
}

}  // namespace webbin
