#include "main/core/FailedJobs.h"

#include "main/core/MainTexts.h"
#include "shared/modJob.h"

namespace vellora::core {
namespace mt = vellora::core::texts;

std::string DescribeFailedJob(const clsJob& job) {
    if (job.isAtt) return "Attachment " + job.DocName + " of message " + job.Subject;
    return "Message body of " + job.Subject;
}

std::vector<FailedJobLine> FailedJobLines(const JobCollection& errJobs) {
    std::vector<FailedJobLine> lines;
    for (const JobPtr& job : errJobs.Items())
        lines.push_back({DescribeFailedJob(*job), job->JobID});
    return lines;
}

std::optional<std::string> FailedJobDetail(const JobCollection& errJobs, const std::string& selId) {
    if (selId.empty()) return std::nullopt;
    const JobPtr job = errJobs.Find(selId);
    if (!job) return std::nullopt;
    return job->ErrDetail;
}

bool RemoveFailedJob(JobCollection& errJobs, const std::string& selId) {
    return !selId.empty() && errJobs.Remove(selId);
}

RetryOutcome RetryFailedJob(JobQueues& jobs, const std::string& selId) {
    if (selId.empty()) return RetryOutcome::NoSelection;
    const JobPtr job = jobs.errJobs.Find(selId);
    if (!job) return RetryOutcome::NoSelection;
    if (jobs.queue.Contains(selId)) return RetryOutcome::AlreadyQueued;
    job->Status = modJob::Status().queued;
    jobs.AddJob(job, selId);  // before the removal, so a failure leaves ErrJobs as it was
    modJob::WriteJobRecord(modJob::Status().awaiting, selId);
    jobs.errJobs.Remove(selId);
    return RetryOutcome::Retried;
}

std::string RetryRefusedMessage() {
    return mt::kMsgRetryQueued;
}
std::string RetryRefusedTitle() {
    return mt::kTitleRetryJob;
}

}  // namespace vellora::core
