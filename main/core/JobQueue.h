// The job collections of the main window: the queue of jobs not yet settled and the failed
// jobs, both keyed by job id in insertion order, sharing records.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "shared/clsJob.h"

namespace vellora::core {

struct DuplicateJob : std::runtime_error {
    explicit DuplicateJob(const std::string& id);
};

class JobCollection {
  public:
    // Adds at the end under id; throws DuplicateJob, leaving the collection as it was, when
    // the id is already held.
    void Add(const JobPtr& job, const std::string& id);
    bool Contains(const std::string& id) const;
    JobPtr Find(const std::string& id) const;  // null when absent
    bool Remove(const std::string& id);
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    // In insertion order. A copy, so settling jobs while walking it is safe.
    std::vector<JobPtr> Items() const;

  private:
    struct Item {
        std::string id;
        JobPtr job;
    };
    std::vector<Item> items_;
};

// What the main window holds for the dispatcher, job creation and the failed-jobs window.
struct JobQueues {
    JobCollection queue;
    JobCollection errJobs;  // ErrJobs
    bool jobBusy = false;   // JobBusy

    void AddJob(const JobPtr& job, const std::string& id) { queue.Add(job, id); }
};

}  // namespace vellora::core
