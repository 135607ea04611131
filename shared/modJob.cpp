#include "shared/modJob.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>

#include "shared/Literal.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"

namespace modJob {
namespace {

struct Store {
    bool ready = false;
    std::string path, section, prefix;
    StatusTexts status;
};
Store& TheStore() {
    static Store s;
    return s;
}

struct IdGenerator {
    long long lastSeed = 0;
    std::mt19937 rng{0};
};
IdGenerator& Generator() {
    static IdGenerator g;
    return g;
}

// Seconds since local midnight with its fraction, as a single-precision value would show it
// (at most seven significant digits), with the decimal point taken out.
long long TimeOfDaySeed() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const double frac = duration<double>(now.time_since_epoch()).count() - static_cast<double>(t);
    const float seconds = static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 +
                                             local.tm_sec + (frac > 0 ? frac : 0.0));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(seconds));
    long long n = 0;
    for (const char* p = buf; *p && *p != 'e' && *p != 'E'; ++p)
        if (*p >= '0' && *p <= '9') n = n * 10 + (*p - '0');
    return n;
}

}  // namespace

void InitJobStore() {
    Store& s = TheStore();
    if (s.ready) return;
    s.path = basINI_IO::SettingsPath();
    s.section = vellora::texts::kJobSection.str();
    s.prefix = vellora::texts::kJobKeyPrefix.str();
    s.status.queued = VL("QUEUED");
    s.status.dispatched = VL("DISPATCHED");
    s.status.awaiting = VL("WAITING");   // 7
    s.status.active = VL("RUNNING - ");  // 10, followed by the helper's process id
    s.status.done = VL("FINISHED");      // 8
    s.status.failed = VL("ERROR");       // 5, followed by the description
    s.ready = true;
}

const StatusTexts& Status() {
    InitJobStore();
    return TheStore().status;
}

std::string StorePath() {
    InitJobStore();
    return TheStore().path;
}

void WriteJobRecord(const std::string& value, const std::string& jobId) {
    InitJobStore();
    const Store& s = TheStore();
    basINI_IO::WriteSettingText(value, s.path, s.section, s.prefix + jobId);
}

std::string ReadJobRecord(const std::string& jobId) {
    InitJobStore();
    const Store& s = TheStore();
    return basINI_IO::ReadSettingText(s.path, s.section, s.prefix + jobId);
}

void DeleteJobRecord(const std::string& jobId) {
    InitJobStore();
    const Store& s = TheStore();
    basINI_IO::DeleteSettingKey(s.path, s.section, s.prefix + jobId);
}

std::string NewJobID() {
    IdGenerator& g = Generator();
    const long long seed = TimeOfDaySeed();
    if (seed != g.lastSeed) {
        g.lastSeed = seed;
        g.rng.seed(static_cast<std::mt19937::result_type>(seed));
    }
    const double draw = std::generate_canonical<double, 32>(g.rng) * 9999999.0;
    const long long id = std::llround(std::nearbyint(draw));  // halves to even
    return std::to_string(id);
}

bool HasStatus(std::string_view value, std::string_view statusText) {
    return !statusText.empty() && value.substr(0, statusText.size()) == statusText;
}

std::string FailureDetail(std::string_view value) {
    const auto n = Status().failed.size();
    return value.size() > n ? std::string(value.substr(n)) : std::string();
}

void ResetForTesting() {
    TheStore() = Store{};
    Generator() = IdGenerator{};
}

}  // namespace modJob
