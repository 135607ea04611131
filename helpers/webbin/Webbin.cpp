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
#include "shared/Texts.h"
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
std::string leftover;  // the run folder while it exists, for the watchdog

// The run's private folder (mode 0700): the page, its own inline pictures and the PDF. The
// engine reads nothing outside it, so one mail's page can never pull in another pending
// page or picture from the shared temporary folder. Gone when CUPS has the job (or, should
// the run be cut short, removed by the watchdog).
class RunFolder {
  public:
    RunFolder() {
        const char* tmp = std::getenv(VL("TMPDIR").c_str());
        std::string name =
            (tmp != nullptr && *tmp != '\0' ? std::string(tmp) : VL("/tmp")) + t::kPdfFolder.str();
        if (::mkdtemp(name.data()) == nullptr) throw HelperFailure(std::strerror(errno));
        path_ = name;
        std::lock_guard<std::mutex> lock(leftoverMutex);
        leftover = path_;
    }
    ~RunFolder() {
        std::lock_guard<std::mutex> lock(leftoverMutex);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
        leftover.clear();
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

void CopyPrivately(const std::filesystem::path& from, const std::filesystem::path& to) {
    namespace fs = std::filesystem;
    fs::copy_file(from, to);
    fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace

std::string CopyPageAlone(const std::string& page, const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path source(page);
    if (!fs::is_regular_file(source)) throw HelperFailure(t::kNoPage.str() + page);
    const fs::path copy = fs::path(folder) / source.filename();
    CopyPrivately(source, copy);
    // The page's own inline pictures, saved beside it under its name; regular files only (a
    // link could name anything).
    const std::string own = source.stem().string() + vellora::texts::kInlinePartInfix.str();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(source.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(own, 0) != 0 || !entry.is_regular_file(ec) || entry.is_symlink(ec)) continue;
        CopyPrivately(entry.path(), fs::path(folder) / name);
    }
    return copy.string();
}

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
    RunFolder folder;
    vellora::html::HtmlPage page(CopyPageAlone(run.Line().path, folder.path()));
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
