// Local-time texts of the main window: check labels, countdowns, log time stamps, and the
// calendar-day difference that decides when a temporary file is stale.
#pragma once

#include <chrono>
#include <ctime>
#include <string>

#include "main/core/Seams.h"

namespace vellora::core {

// strftime of the local time of t.
std::string FormatLocal(TimePoint t, const std::string& format);

// A remaining time as hours, minutes and seconds ("00:14:59"); a negative time shows as zero.
std::string FormatCountdown(std::chrono::system_clock::duration remaining);

// Local calendar days from `from` to `to` (midnight boundaries crossed; negative when to < from).
int CalendarDaysBetween(TimePoint from, TimePoint to);

TimePoint FromTimeT(std::time_t t);

}  // namespace vellora::core
