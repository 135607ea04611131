// The dispatcher: on every timer tick it either launches the next queued job's helper or
// watches the one outstanding job through its job store value, and settles it.
#pragma once

#include <functional>
#include <set>
#include <string>

#include "main/core/JobQueue.h"
#include "main/core/Options.h"
#include "main/core/Seams.h"
#include "platform/print/PrintSystem.h"

namespace vellora::core {

inline constexpr int kAwaitingLimitSeconds = 180;
inline constexpr int kActiveLimitSeconds = 600;

// Seconds between two moments as whole-second boundaries crossed.
long long SecondBoundaries(TimePoint from, TimePoint to);

// The document of a job argument: everything after its first "@", without double quotes.
std::string JobDocumentPath(const std::string& jobDoc);

class Dispatcher : public JobDispatch {
  public:
    // systemPrinter gives the caption of lblCurSysPrinter at the moment of each restore.
    Dispatcher(JobQueues& jobs, Clock& clock, Launcher& launcher, print::PrintSystem& printers,
               StatusSink& sink, const Options& options,
               std::function<std::string()> systemPrinter);

    void CheckJobs() override;

  private:
    void LaunchStep();
    void WatchJob(const JobPtr& job);
    // Takes the job out of the queue and the store; the dispatcher is idle again.
    void Retire(const JobPtr& job);
    void SettleFailed(const JobPtr& job, const std::string& message);
    void ReportFailure(const JobPtr& job, const std::string& message);
    void SwitchTo(const std::string& printer);
    void RestorePrinter() { SwitchTo(systemPrinter_ ? systemPrinter_() : std::string()); }
    void DeleteDocument(const JobPtr& job);

    JobQueues& jobs_;
    Clock& clock_;
    Launcher& launcher_;
    print::PrintSystem& printers_;
    StatusSink& sink_;
    const Options& options_;
    std::function<std::string()> systemPrinter_;
    std::set<std::string> reportedUnrecognised_;  // jobs whose unreadable value was reported
};

}  // namespace vellora::core
