#include "main/core/Dispatcher.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "main/core/MainTexts.h"
#include "shared/modJob.h"
#include "shared/modWriteLog.h"

namespace vellora::core {
namespace mt = vellora::core::texts;

namespace {

void LogLine(const std::string& text) {
    try {
        modWriteLog::WriteLog(text);
    } catch (const modWriteLog::LogError&) {
    }
}

// A body page's pictures lie beside it, named after the page: they go with it.
void DeleteInlinePictures(const std::string& pagePath) {
    namespace fs = std::filesystem;
    const fs::path page(pagePath);
    const std::string prefix = page.stem().string() + mt::kInlinePartInfix.str();
    std::vector<fs::path> pictures;
    std::error_code ec;
    fs::directory_iterator it(page.has_parent_path() ? page.parent_path() : fs::path("."), ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().string().compare(0, prefix.size(), prefix) == 0)
            pictures.push_back(it->path());
    }
    for (const fs::path& picture : pictures) {
        std::error_code gone;
        if (!fs::remove(picture, gone) || gone)
            LogLine(mt::kLogDeleteFailed.str() + picture.string());
    }
}

}  // namespace

long long SecondBoundaries(TimePoint from, TimePoint to) {
    using std::chrono::floor;
    using std::chrono::seconds;
    return (floor<seconds>(to.time_since_epoch()) - floor<seconds>(from.time_since_epoch()))
        .count();
}

std::string JobDocumentPath(const std::string& jobDoc) {
    const auto at = jobDoc.find('@');
    std::string path = at == std::string::npos ? std::string() : jobDoc.substr(at + 1);
    std::erase(path, '"');
    return path;
}

Dispatcher::Dispatcher(JobQueues& jobs, Clock& clock, Launcher& launcher,
                       print::PrintSystem& printers, StatusSink& sink, const Options& options,
                       std::function<std::string()> systemPrinter)
    : jobs_(jobs),
      clock_(clock),
      launcher_(launcher),
      printers_(printers),
      sink_(sink),
      options_(options),
      systemPrinter_(std::move(systemPrinter)) {}

void Dispatcher::CheckJobs() {
    if (!jobs_.jobBusy) {
        LaunchStep();
        return;
    }
    const std::string dispatched = modJob::Status().dispatched;
    for (const JobPtr& job : jobs_.queue.Items())
        if (job->Status == dispatched) WatchJob(job);
}

void Dispatcher::LaunchStep() {
    const std::string queued = modJob::Status().queued;
    JobPtr next;
    for (const JobPtr& job : jobs_.queue.Items()) {
        if (job->Status == queued) {
            next = job;
            break;
        }
    }
    if (!next) return;
    jobs_.jobBusy = true;
    next->Status = modJob::Status().dispatched;
    next->stTime = clock_.Now();
    SwitchTo(next->Printer);
    if (launcher_.Launch(next->CmdLine)) return;
    // Nothing will ever report on a helper that did not start: fail it now, not in 3 minutes.
    Retire(next);
    SettleFailed(next, mt::kJobLaunchFailed.str() + next->CmdLine);
}

void Dispatcher::WatchJob(const JobPtr& job) {
    const modJob::StatusTexts& st = modJob::Status();
    const std::string value = modJob::ReadJobRecord(job->JobID);
    const long long elapsed = SecondBoundaries(job->stTime, clock_.Now());
    if (modJob::HasStatus(value, st.done)) {
        Retire(job);
        RestorePrinter();
        sink_.LogSucStatus(mt::kJobSuccessPrefix.str() + job->Subject);
        if (options_.notifyOnSuccess)
            sink_.SendNotification(mt::kNotifyKindSuccess, mt::kTitleJobSuccess,
                                   job->Subject + mt::kJobSuccessSentence.str());
        DeleteDocument(job);
    } else if (modJob::HasStatus(value, st.failed)) {
        Retire(job);
        SettleFailed(job, st.failed + " -" + modJob::FailureDetail(value));
    } else if (modJob::HasStatus(value, st.awaiting)) {
        if (elapsed <= kAwaitingLimitSeconds) return;
        Retire(job);
        SettleFailed(job, mt::kJobAwaitingTimeout);
    } else if (modJob::HasStatus(value, st.active)) {
        if (elapsed <= kActiveLimitSeconds) return;
        Retire(job);
        SettleFailed(job, mt::kJobActiveTimeout);
    } else if (elapsed > kActiveLimitSeconds) {
        // An unreadable value for the whole active limit: the job will not come back.
        Retire(job);
        SettleFailed(job, mt::kJobUnrecognised);
    } else if (reportedUnrecognised_.insert(job->JobID).second) {
        ReportFailure(job, mt::kJobUnrecognised);  // once, not on every tick
    }
}

void Dispatcher::Retire(const JobPtr& job) {
    modJob::DeleteJobRecord(job->JobID);
    jobs_.queue.Remove(job->JobID);
    jobs_.jobBusy = false;
    reportedUnrecognised_.erase(job->JobID);
}

void Dispatcher::SettleFailed(const JobPtr& job, const std::string& message) {
    job->ErrDetail = message;
    try {
        jobs_.errJobs.Add(job, job->JobID);
    } catch (const DuplicateJob&) {
        // A failed job of that id is still listed; the newer failure replaces it.
        jobs_.errJobs.Remove(job->JobID);
        jobs_.errJobs.Add(job, job->JobID);
    }
    RestorePrinter();
    ReportFailure(job, message);
}

void Dispatcher::ReportFailure(const JobPtr& job, const std::string& message) {
    if (message.size() <= 1) return;
    sink_.LogErrorStatus(mt::kJobFailurePrefix.str() + job->Subject + " - " + message);
    if (options_.notifyOnError)
        sink_.SendNotification(mt::kNotifyKindError, mt::kTitleJobFailure,
                               job->Subject + mt::kJobFailureSeparator.str() + message);
}

void Dispatcher::SwitchTo(const std::string& printer) {
    if (printer.empty()) return;  // no installed printer has an empty name
    try {
        if (!printers_.SwitchPrinter(printer)) LogLine(mt::kLogSwitchFailed.str() + printer);
    } catch (const std::exception& e) {
        LogLine(mt::kLogSwitchFailed.str() + printer + " - " + e.what());
    }
}

void Dispatcher::DeleteDocument(const JobPtr& job) {
    const std::string path = JobDocumentPath(job->JobDoc);
    std::error_code ec;
    if (!std::filesystem::remove(path, ec) || ec)
        LogLine(mt::kLogDeleteFailed.str() + path + (ec ? " - " + ec.message() : ""));
    DeleteInlinePictures(path);
}

}  // namespace vellora::core
