// The job store: one section of the settings file, one key per job, whose value tells how
// far the helper program has got. Shared by the main program and every helper.
#pragma once

#include <string>
#include <string_view>

namespace modJob {

// The six status texts. The store readers compare as many leading characters as a status
// text has: AWAITING 7, ACTIVE 10, DONE 8, FAILED 5.
struct StatusTexts {
    std::string queued, dispatched, awaiting, active, done, failed;
};

// Decodes the store's names and status texts once per process.
void InitJobStore();
const StatusTexts& Status();
std::string StorePath();

void WriteJobRecord(const std::string& value, const std::string& jobId);
std::string ReadJobRecord(const std::string& jobId);  // "Bad Key" when absent
void DeleteJobRecord(const std::string& jobId);
std::string NewJobID();

// True when value carries that status: it begins with the status text, case-sensitively.
bool HasStatus(std::string_view value, std::string_view statusText);
// The description of a failure value: everything after the failed text.
std::string FailureDetail(std::string_view value);

// For tests: forget the decoded store binding and the id generator's seed.
void ResetForTesting();

}  // namespace modJob
