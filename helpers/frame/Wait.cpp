#include "helpers/frame/Wait.h"

#include <cstdlib>
#include <thread>

namespace vellora::helper {

SystemClock::SystemClock() : start_(std::chrono::system_clock::now()) {
    if (const char* s = std::getenv("VELLORA_WAIT_SCALE"); s && *s) {
        const double v = std::atof(s);
        if (v > 0 && v <= 1) scale_ = v;
    }
}

TimePoint SystemClock::Now() {
    const auto real = std::chrono::system_clock::now();
    if (scale_ == 1.0) return real;
    const auto elapsed = std::chrono::duration<double>(real - start_) / scale_;
    return start_ + std::chrono::duration_cast<std::chrono::system_clock::duration>(elapsed);
}

void SystemClock::Pause(Duration d) {
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(d.count() * scale_));
}

Clock& DefaultClock() {
    static SystemClock clock;
    return clock;
}

bool WaitUntil(const std::function<bool()>& condition, Duration timeout, Clock& clock,
               Duration poll, const std::function<void()>& pump) {
    const TimePoint deadline = clock.Now() + timeout;
    for (;;) {
        if (pump) pump();
        if (condition()) return true;
        if (clock.Now() > deadline) return false;
        clock.Pause(poll);
    }
}

Duration SecondsFromEnvironment(const std::string& variable, Duration fallback) {
    const char* text = std::getenv(variable.c_str());
    if (text == nullptr || *text == '\0') return fallback;
    char* end = nullptr;
    const double seconds = std::strtod(text, &end);
    if (end == text || seconds < 0) return fallback;
    return Duration(static_cast<long long>(seconds * 1000));
}

}  // namespace vellora::helper
