#include "main/core/Scheduler.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>

#include "main/core/MainTexts.h"
#include "main/core/TimeText.h"
#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modWriteLog.h"

namespace vellora::core {
namespace fs = std::filesystem;
namespace tx = vellora::core::texts;

Scheduler::Scheduler(Clock& clock, std::string settingsPath, std::string tempFolder)
    : clock_(clock), settingsPath_(std::move(settingsPath)), tempFolder_(std::move(tempFolder)) {}

int Scheduler::ReadStoredInterval() const {
    const int stored = basINI_IO::ReadSettingNumber(settingsPath_, vellora::texts::kGeneralSection,
                                                    vellora::texts::kKeyInterval);
    if (stored == -1) return kDefaultInterval;
    if (stored < 0 || stored > kMaxInterval) return kDefaultInterval;
    return stored;
}

void Scheduler::Start(int intervalMinutes, bool checkAtStartup) {
    interval_ = intervalMinutes;
    lastCheck_ = clock_.Now();
    nextCheck_ = checkAtStartup ? lastCheck_ : lastCheck_ + Period();
    ShowCountdown();
}

std::optional<int> Scheduler::ParseInterval(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    long value = 0;
    std::size_t digits = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++digits) {
        value = value * 10 + (text[i] - '0');
        if (value > kMaxInterval) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    return static_cast<int>(value);
}

std::chrono::system_clock::duration Scheduler::Period() const {
    if (testPeriod_.count() > 0) return testPeriod_;
    return std::chrono::minutes(interval_);
}

bool Scheduler::Checking() const {
    return inCheck_ || (check_ && check_->Running());
}

void Scheduler::Tick(const std::string& intervalText) {
    // Each step has its own trap: a failing dispatcher must not stop mail checks, and a
    // failing check must not stop the clean-up.
    try {
        FollowInterval(intervalText);
    } catch (const std::exception& e) {
        LogStep(10, e.what());
    }
    if (interval_ == 0) Show(view_.nextCheckLabel, "");
    // The dispatcher may let the window's events run (a notification under way); a tick
    // arriving then leaves the dispatcher alone: the next one runs it again.
    if (dispatch_ && !inDispatch_) {
        inDispatch_ = true;
        try {
            dispatch_->CheckJobs();
        } catch (const std::exception& e) {
            LogStep(30, e.what());
        }
        inDispatch_ = false;
    }
    try {
        CheckWhenDue();
    } catch (const std::exception& e) {
        LogStep(40, e.what());
    }
    ShowCountdown();
    try {
        DeleteStaleFiles();
    } catch (const std::exception& e) {
        LogStep(60, e.what());
    }
}

void Scheduler::FollowInterval(const std::string& intervalText) {
    const std::optional<int> value = ParseInterval(intervalText);
    if (!value || *value == interval_) return;
    basINI_IO::WriteSettingNumber(*value, settingsPath_, vellora::texts::kGeneralSection,
                                  vellora::texts::kKeyInterval);
    interval_ = *value;
    nextCheck_ = clock_.Now() + Period();
}

void Scheduler::CheckWhenDue() {
    if (interval_ == 0 || clock_.Now() < nextCheck_) return;
    // A tick that arrives while a check yields to the window must not start a second one.
    if (Checking()) return;
    lastCheck_ = clock_.Now();
    inCheck_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inCheck_};
    if (check_) check_->RunMailCheck();  // without a mail check: a check of no accounts
    nextCheck_ = clock_.Now() + Period();
    const std::string format = tx::kCheckTimeFormat.str();
    const std::string last = FormatLocal(lastCheck_, format);
    Show(view_.lastCheckLabel, last);
    Show(view_.trayTip, BuildTrayTip(caption_, last, FormatLocal(nextCheck_, format)));
}

void Scheduler::ShowCountdown() {
    if (interval_ == 0) return;
    Show(view_.nextCheckLabel, FormatCountdown(nextCheck_ - clock_.Now()));
}

std::string Scheduler::BuildTrayTip(const std::string& caption, const std::string& lastCheck,
                                    const std::string& nextCheck) {
    return CutTip(caption + tx::kTipLastCheck.str() + lastCheck + tx::kTipNextCheck.str() +
                  nextCheck);
}

std::string Scheduler::CutTip(std::string tip) {
    if (tip.size() <= kTipLength) return tip;
    std::size_t cut = kTipLength;
    while (cut > 0 && (static_cast<unsigned char>(tip[cut]) & 0xC0) == 0x80) --cut;
    tip.resize(cut);
    return tip;
}

void Scheduler::DeleteStaleFiles() {
    DeleteStaleFilesIn(tempFolder_);
    // The helpers' converted pages: the installation folder of the moment (tests pin it).
    DeleteStaleFilesIn(JoinPath(AppFolder(), vellora::texts::kHelperTempFolderName));
}

void Scheduler::DeleteStaleFilesIn(const std::string& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    if (ec) return;  // no folder yet: nothing to clean
    const TimePoint now = clock_.Now();
    for (; it != end; it.increment(ec)) {
        if (ec) break;
        struct stat st {};
        const std::string path = it->path().string();
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (CalendarDaysBetween(FromTimeT(st.st_mtime), now) <= kStaleDays) continue;
        // A file that cannot go now (still open elsewhere, no permission) is tried again at
        // the next tick; it never stops the tick.
        ::unlink(path.c_str());
    }
}

void Scheduler::Show(const std::function<void(const std::string&)>& label,
                     const std::string& text) {
    if (label) label(text);
}

void Scheduler::LogStep(int step, const std::string& what) {
    try {
        modWriteLog::WriteLog(tx::kTickErrorPrefix.str() + std::to_string(step) +
                              tx::kStepSeparator.str() + what);
    } catch (const modWriteLog::LogError&) {
        // Nowhere left to report it; the next tick tries again.
    }
}

}  // namespace vellora::core
