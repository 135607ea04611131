// The check timer's work, one tick at a time: follow the interval box, run the dispatcher,
// start a mail check when one is due, refresh the check labels and the tray tip, and clear
// stale files out of the temporary folder and out of the folder where the helpers keep the
// pages they had converted. The window only forwards its timer to Tick.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "main/core/Seams.h"

namespace vellora::core {

class Scheduler {
  public:
    // Where the tick shows its results; any of them may be left empty.
    struct View {
        std::function<void(const std::string&)> lastCheckLabel;  // lblLastCheck
        std::function<void(const std::string&)> nextCheckLabel;  // lblNextCheck
        std::function<void(const std::string&)> trayTip;
    };

    static constexpr int kDefaultInterval = 10;
    static constexpr int kStaleDays = 3;
    static constexpr int kMaxInterval = 32767;  // interval minutes are a 16-bit value
    static constexpr std::size_t kTipLength = 64;

    Scheduler(Clock& clock, std::string settingsPath, std::string tempFolder);

    void SetDispatch(JobDispatch* dispatch) { dispatch_ = dispatch; }
    void SetMailCheck(MailCheck* check) { check_ = check; }
    void SetView(View view) { view_ = std::move(view); }
    void SetCaption(std::string caption) { caption_ = std::move(caption); }
    // For end-to-end tests and benchmarks of the real program only: a check period in
    // seconds in place of the interval's minutes (an interval of 0 still means no checks).
    void SetTestPeriod(std::chrono::seconds period) { testPeriod_ = period; }

    // The stored interval: an absent key gives the default.
    int ReadStoredInterval() const;
    // Start-up: last check = now; the first check at once or one interval from now.
    void Start(int intervalMinutes, bool checkAtStartup);
    // One timer tick. intervalText is the interval box's text as it stands.
    void Tick(const std::string& intervalText);

    // The value an interval text stands for: its leading whole number, blanks around it
    // allowed and anything after the digits ignored ("15 min" is 15). A text without leading
    // digits, a negative number or one past the 16-bit range is no interval at all: the
    // tick then keeps the interval it has, so a half-typed or mistyped box never switches
    // checking off or writes a wrong value.
    static std::optional<int> ParseInterval(const std::string& text);
    // Caption, last-check text, last check, next-check text, next check; cut to 64 bytes
    // on a character boundary.
    static std::string BuildTrayTip(const std::string& caption, const std::string& lastCheck,
                                    const std::string& nextCheck);
    // A tip as the notification area takes it: at most 64 bytes, never half a character.
    static std::string CutTip(std::string tip);

    void DeleteStaleFiles();

    int IntervalMinutes() const { return interval_; }
    TimePoint LastCheck() const { return lastCheck_; }
    TimePoint NextCheck() const { return nextCheck_; }
    bool Checking() const;

  private:
    void DeleteStaleFilesIn(const std::string& folder);
    void FollowInterval(const std::string& intervalText);
    std::chrono::system_clock::duration Period() const;
    void CheckWhenDue();
    void ShowCountdown();
    void Show(const std::function<void(const std::string&)>& label, const std::string& text);
    void LogStep(int step, const std::string& what);

    Clock& clock_;
    std::string settingsPath_;
    std::string tempFolder_;
    std::string caption_;
    JobDispatch* dispatch_ = nullptr;
    MailCheck* check_ = nullptr;
    View view_;
    int interval_ = kDefaultInterval;
    TimePoint lastCheck_{};
    TimePoint nextCheck_{};
    bool inCheck_ = false;
    bool inDispatch_ = false;
    std::chrono::seconds testPeriod_{0};
};

}  // namespace vellora::core
