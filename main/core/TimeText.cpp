#include "main/core/TimeText.h"

#include <cstdio>

#include "main/core/MainTexts.h"

namespace vellora::core {
namespace {

std::tm Local(TimePoint t) {
    const std::time_t tt = std::chrono::system_clock::to_time_t(t);
    std::tm local{};
    localtime_r(&tt, &local);
    return local;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian), so that month and year
// boundaries count like any other midnight.
long DaysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

long LocalDay(TimePoint t) {
    const std::tm tm = Local(t);
    return DaysFromCivil(tm.tm_year + 1900, static_cast<unsigned>(tm.tm_mon + 1),
                         static_cast<unsigned>(tm.tm_mday));
}

}  // namespace

std::string FormatLocal(TimePoint t, const std::string& format) {
    const std::tm local = Local(t);
    char buf[128];
    const std::size_t n = std::strftime(buf, sizeof buf, format.c_str(), &local);
    return std::string(buf, n);
}

std::string FormatCountdown(std::chrono::system_clock::duration remaining) {
    using namespace std::chrono;
    long long s = duration_cast<seconds>(remaining).count();
    if (s < 0) s = 0;
    char buf[32];
    const std::string format = texts::kCountdownFormat.str();
    std::snprintf(buf, sizeof buf, format.c_str(), s / 3600, s / 60 % 60, s % 60);
    return buf;
}

int CalendarDaysBetween(TimePoint from, TimePoint to) {
    return static_cast<int>(LocalDay(to) - LocalDay(from));
}

TimePoint FromTimeT(std::time_t t) {
    return std::chrono::system_clock::from_time_t(t);
}

}  // namespace vellora::core
