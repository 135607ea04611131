// modWebbin: the HTML printer's start routine.
#include <unistd.h>

#include <QGuiApplication>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "helpers/webbin/Webbin.h"
#include "helpers/webbin/WebbinTexts.h"
#include "platform/html/HtmlToPdf.h"
#include "shared/modJob.h"

namespace {

namespace t = webbin::texts;
using namespace vellora::helper;

// The job store seen through a lock, so that the watchdog and the run never both write a
// final record: whoever writes one first closes the store for the other.
class GuardedSink : public Sink {
  public:
    void Log(const std::string& text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!closed_) RealSink().Log(text);
    }
    void Record(const std::string& jobId, const std::string& value) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_) return;
        jobId_ = jobId;
        RealSink().Record(jobId, value);
        if (!modJob::HasStatus(value, modJob::Status().active)) closed_ = true;
    }
    // The watchdog's last word; false when the run has already written its own.
    bool CloseWith(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_ || jobId_.empty()) return false;
        closed_ = true;
        try {
            RealSink().Log(text);
        } catch (const std::exception&) {
        }
        RealSink().Record(jobId_, text);
        return true;
    }

  private:
    std::mutex mutex_;
    bool closed_ = false;
    std::string jobId_;
};

// The engine can block (also in its own shutdown); past every wait of the run plus a margin,
// the watchdog records the failure and leaves.
void StartWatchdog(GuardedSink& sink, Duration limit) {
    std::thread([&sink, limit] {
        std::this_thread::sleep_for(limit);
        modJob::InitJobStore();
        const std::string text =
            modJob::Status().failed + t::kGeneralError.str() + t::kEngineStuck.str();
        sink.CloseWith(text);
        webbin::RemoveLeftovers();
        std::fflush(nullptr);
        ::_exit(1);
    }).detach();
}

}  // namespace

int main(int argc, char** argv) {
    vellora::html::PrepareEngineProcess();
    // Qt sees the program name alone: the argument text is the job's, never Qt's options.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    modJob::InitJobStore();
    const webbin::Waits waits = webbin::WaitsFromEnvironment();
    static GuardedSink sink;
    StartWatchdog(sink, waits.watchdog);

    HelperSetup setup;
    setup.style = ParseStyle::kStripQuotes;
    setup.errorText = t::kGeneralError.str();
    const int code = RunHelperOn(
        ArgumentText(argc, argv), setup,
        [&](HelperRun& run) { return webbin::PrintPage(run, waits); }, sink, DefaultClock());
    // The engine may block its own exit; the record is written, so leave at once.
    std::fflush(nullptr);
    ::_exit(code);
}
