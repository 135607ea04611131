// At most so many mails in any sixty seconds: a flood of requests (a loop gone wrong, a
// hostile local program) cannot turn the relay account into a spam source.
#pragma once

#include <chrono>
#include <deque>
#include <mutex>

namespace vellora::notifyd {

class RateLimit {
  public:
    using Clock = std::chrono::steady_clock;
    explicit RateLimit(int perMinute) : perMinute_(perMinute) {}

    // True (and counted) when one more mail fits into the last minute.
    bool Take(Clock::time_point now = Clock::now()) {
        std::lock_guard lock(mutex_);
        while (!sent_.empty() && now - sent_.front() >= std::chrono::minutes(1)) sent_.pop_front();
        if (static_cast<int>(sent_.size()) >= perMinute_) return false;
        sent_.push_back(now);
        return true;
    }
    int PerMinute() const { return perMinute_; }

  private:
    const int perMinute_;
    std::mutex mutex_;
    std::deque<Clock::time_point> sent_;
};

}  // namespace vellora::notifyd
