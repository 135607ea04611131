#include "main/core/JobQueue.h"

#include <algorithm>

namespace vellora::core {

DuplicateJob::DuplicateJob(const std::string& id)
    : std::runtime_error("job " + id + " is already in the collection") {}

void JobCollection::Add(const JobPtr& job, const std::string& id) {
    if (Contains(id)) throw DuplicateJob(id);
    items_.push_back({id, job});
}

bool JobCollection::Contains(const std::string& id) const {
    return Find(id) != nullptr;
}

JobPtr JobCollection::Find(const std::string& id) const {
    for (const Item& i : items_)
        if (i.id == id) return i.job;
    return nullptr;
}

bool JobCollection::Remove(const std::string& id) {
    const auto it =
        std::find_if(items_.begin(), items_.end(), [&](const Item& i) { return i.id == id; });
    if (it == items_.end()) return false;
    items_.erase(it);
    return true;
}

std::vector<JobPtr> JobCollection::Items() const {
    std::vector<JobPtr> out;
    out.reserve(items_.size());
    for (const Item& i : items_) out.push_back(i.job);
    return out;
}

}  // namespace vellora::core
