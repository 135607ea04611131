#include "main/core/StatusLogs.h"

#include "shared/ServiceAddress.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "main/core/MainTexts.h"
#include "main/core/TimeText.h"
#include "platform/http/Http.h"
#include "shared/AppFolder.h"
#include "shared/PrivateFiles.h"
#include "shared/modWriteLog.h"

namespace vellora::core {
namespace tx = vellora::core::texts;

BoxLimit LimitOf(StatusBox box) {
    switch (box) {
        case StatusBox::Mail:
            return {31998, 31997};
        case StatusBox::Error:
            return {32000, 31995};
        case StatusBox::Success:
            return {31999, 31992};
    }
    return {32000, 32000};
}

std::string NotifyServiceBase() {
    return vellora::NotifyServiceUrl();
}

std::string NotifyRequestUrl(const std::string& base, const std::string& kind,
                             const std::string& subject, const std::string& body,
                             const std::string& recipient) {
    // Values are encoded: a raw "&", "#" or blank would cut or split them on the way.
    using http::UrlEncode;
    return base + tx::kNotifyPath.str() + "?" + tx::kNotifyKeyKind.str() + "=" + UrlEncode(kind) +
           "&" + tx::kNotifyKeySubject.str() + "=" + UrlEncode(subject) + "&" +
           tx::kNotifyKeyBody.str() + "=" + UrlEncode(body) + "&" + tx::kNotifyKeyRecipient.str() +
           "=" + UrlEncode(recipient);
}

StatusLogs::StatusLogs(Clock& clock, const Options& options, std::string folder)
    : clock_(clock), options_(options), folder_(std::move(folder)) {}

void StatusLogs::LogMailStatus(const std::string& text) {
    Log(StatusBox::Mail, text);
}
void StatusLogs::LogErrorStatus(const std::string& text) {
    Log(StatusBox::Error, text);
}
void StatusLogs::LogSucStatus(const std::string& text) {
    Log(StatusBox::Success, text);
}

void StatusLogs::Log(StatusBox box, const std::string& text) {
    std::string& content = boxes_[static_cast<int>(box)];
    const TimePoint now = clock_.Now();
    content = FormatLocal(now, tx::kBoxTimeFormat.str()) + ": " + text + "\r\n" + content;
    const BoxLimit limit = LimitOf(box);
    if (content.size() > limit.trimWhenLonger) {
        std::size_t cut = limit.trimTo;
        // The oldest lines go; a cut inside a UTF-8 character would leave a broken one.
        while (cut > 0 && (static_cast<unsigned char>(content[cut]) & 0xC0) == 0x80) --cut;
        content.resize(cut);
    }
    if (changed_) changed_(box, content);
    if (options_.logStatus) AppendToFile(FormatLocal(now, tx::kFileTimeFormat.str()) + text);
}

std::string StatusLogs::StatusFilePath() const {
    return JoinPath(folder_, FormatLocal(clock_.Now(), tx::kStatusFilePattern.str()));
}

void StatusLogs::AppendToFile(const std::string& line) {
    const std::string path = StatusFilePath();
    // The lines name senders, subjects and accounts: for the file's owner only.
    const int error = AppendPrivateFile(path, line + "\n");
    if (error != 0) throw StatusFileError(path + ": " + std::strerror(error));
}

std::string StatusLogs::Fetch(const std::string& url) {
    const auto timeout = notifyTimeout_;
    if (!pump_) return http::Get(url, timeout).body;
    // The request runs beside the window: the window keeps drawing and its timer keeps
    // ticking, and the wait never outlasts the request's own time-out.
    struct Shared {
        std::atomic<bool> done{false};
        std::string body;
    };
    auto shared = std::make_shared<Shared>();
    std::thread worker([shared, url, timeout] {
        std::string body = http::Get(url, timeout).body;
        shared->body = std::move(body);
        shared->done.store(true, std::memory_order_release);
    });
    const auto deadline = std::chrono::steady_clock::now() + timeout + std::chrono::seconds(1);
    while (!shared->done.load(std::memory_order_acquire) &&
           std::chrono::steady_clock::now() < deadline) {
        pump_->DoEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!shared->done.load(std::memory_order_acquire)) {
        worker.detach();  // it ends at its own time-out and touches only `shared`
        return {};
    }
    worker.join();
    return shared->body;
}

void StatusLogs::SendNotification(const std::string& kind, const std::string& subject,
                                  const std::string& body) {
    const std::string base = notifyBase_.empty() ? NotifyServiceBase() : notifyBase_;
    const std::string url = NotifyRequestUrl(base, kind, subject, body, options_.notifyEmail);
    const std::string answer = Fetch(url);
    const std::string word = tx::kNotifySuccessWord.str();
    if (answer.substr(0, 4) == word.substr(0, 4)) return;
    try {
        LogErrorStatus(tx::kNotifyFailed.str() + answer);
    } catch (const StatusFileError& e) {
        try {
            modWriteLog::WriteLog(tx::kNotifyErrorPrefix.str() + "10" + tx::kStepSeparator.str() +
                                  e.what());
        } catch (const modWriteLog::LogError&) {
        }
    }
}

}  // namespace vellora::core
