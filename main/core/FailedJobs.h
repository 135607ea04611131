// The failed-jobs window without its controls: the lines it lists, the detail it shows, and
// dropping or retrying a job.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "main/core/JobQueue.h"

namespace vellora::core {

struct FailedJobLine {
    std::string text;  // lstJobErr
    std::string id;    // lstJobErrIDs
};

std::string DescribeFailedJob(const clsJob& job);
std::vector<FailedJobLine> FailedJobLines(const JobCollection& errJobs);  // RefreshErrJobs

// The ErrDetail of the selected job; nothing without a selection or such a job.
std::optional<std::string> FailedJobDetail(const JobCollection& errJobs, const std::string& selId);
// Remove Job: true when a job was dropped (its document stays on disk).
bool RemoveFailedJob(JobCollection& errJobs, const std::string& selId);

enum class RetryOutcome { NoSelection, Retried, AlreadyQueued };
// Retry Job: back to the end of the queue as a fresh job (queued, awaiting in the store); a
// job whose id the queue already holds stays in ErrJobs and the caller shows RetryRefusedMessage.
RetryOutcome RetryFailedJob(JobQueues& jobs, const std::string& selId);
std::string RetryRefusedMessage();
std::string RetryRefusedTitle();

}  // namespace vellora::core
