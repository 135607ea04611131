// One print job: a message body or one attachment, printed by one helper program.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

struct clsJob {
    std::string JobID;
    std::string Subject;
    std::int16_t isBody = 0;
    std::int16_t isAtt = 0;
    std::int16_t toBeRem = 0;
    std::chrono::system_clock::time_point stTime{};
    std::int32_t ProcID = 0;
    std::string CmdLine;
    std::string Status;
    std::string DocName;
    std::string ErrDetail;
    std::string Printer;
    std::string JobDoc;
};

// The job queue and the failed-jobs collection share records: moving a job moves the object.
using JobPtr = std::shared_ptr<clsJob>;
