#include "helpers/frame/HelperFrame.h"

#include <unistd.h>

#include "shared/AppFolder.h"
#include "shared/Literal.h"
#include "shared/Texts.h"
#include "shared/modJob.h"
#include "shared/modWriteLog.h"

namespace vellora::helper {
namespace {

class StoreSink : public Sink {
  public:
    void Log(const std::string& text) override { modWriteLog::WriteLog(text); }
    void Record(const std::string& jobId, const std::string& value) override {
        modJob::WriteJobRecord(value, jobId);
    }
};

}  // namespace

Sink& RealSink() {
    static StoreSink sink;
    return sink;
}

std::string HelperRun::ErrorText() const {
    const std::string& failed = modJob::Status().failed;
    if (modJob::HasStatus(setup_.errorText, failed)) return setup_.errorText;
    return failed + setup_.errorText;
}

void HelperRun::WriteRecord(const std::string& value) {
    if (!finished_) sink_.Record(line_.jobId, value);
}

void HelperRun::Finish(const std::string& value) {
    if (finished_) return;
    sink_.Record(line_.jobId, value);
    finished_ = true;
    succeeded_ = modJob::HasStatus(value, modJob::Status().done);
}

void HelperRun::FailWith(const std::string& logText, const std::string& record) {
    if (finished_) return;
    try {
        sink_.Log(logText);
    } catch (const std::exception&) {
        // The record still tells the dispatcher; without it the job would wait for its time-out.
    }
    Finish(record);
}

void HelperRun::Trap(const std::string& description) {
    const std::string error = ErrorText();
    const std::string step =
        setup_.stepSeparator.empty() ? std::string() : std::to_string(step_) + setup_.stepSeparator;
    FailWith(error + step + description, error + description);
}

int RunHelperOn(const std::string& argumentText, const HelperSetup& setup, const PrintStep& step,
                Sink& sink, Clock& clock) {
    HelperRun run(setup, sink, clock);
    run.SetStep(setup.parseStep);
    try {
        CommandLine partial;
        partial.jobId = JobIdOf(argumentText, setup.style);
        run.SetLine(partial);  // a failing parse is trapped under this id
        run.SetLine(Parse(argumentText, setup.style));
        run.SetStep(setup.activeStep);
        run.WriteRecord(modJob::Status().active + std::to_string(::getpid()));
        if (step(run) == Outcome::kPrinted) run.Finish(modJob::Status().done);
    } catch (const std::exception& e) {
        run.Trap(e.what());
    } catch (...) {
        run.Trap(VL("unexpected failure"));
    }
    if (!run.Finished()) run.Trap(VL("the run ended without a result"));
    return run.Succeeded() ? 0 : 1;
}

int RunHelper(int argc, char** argv, const HelperSetup& setup, const PrintStep& step) {
    return RunHelperOn(ArgumentText(argc, argv), setup, step, RealSink(), DefaultClock());
}

int PrintOnDefault(const std::string& path, const std::string& title,
                   const print::PrintOptions& options) {
    const auto result = print::PrintFile(path, title, options);
    if (!result.ok()) throw HelperFailure(result.error);
    return result.jobId;
}

std::string HelperTempFolder() {
    return JoinPath(AppFolder(), texts::kHelperTempFolderName);
}

}  // namespace vellora::helper
