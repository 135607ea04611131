#include "helpers/frame/ConversionClient.h"

#include "helpers/frame/CommandLine.h"
#include "helpers/frame/ConversionTexts.h"
#include "helpers/frame/Launch.h"
#include "platform/http/Http.h"
#include "services/convertd/ConvertProtocol.h"
#include "shared/AppFolder.h"
#include "shared/PrivateFiles.h"
#include "shared/ServiceAddress.h"
#include "shared/Texts.h"
#include "shared/modJob.h"

namespace vellora::helper {
namespace {

namespace t = conversion_texts;
using namespace std::chrono_literals;

constexpr Duration kSubRunWait = 60s;
constexpr Duration kSubRunPoll = 2s;

// The step numbers each helper's error log shows for the client's stages.
struct Steps {
    int setup, upload, answer, marker, split, fetch, save, start, wait, outcome, timeout, done;
};
constexpr Steps kPictorSteps{70, 80, 90, 100, 110, 112, 120, 123, 124, 130, 150, 160};
constexpr Steps kDocuvanSteps{50, 60, 70, 70, 80, 90, 90, 90, 100, 110, 120, 130};

// A record is one line of the settings file: a header's line breaks must not reach it.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

void Fail(HelperRun& run, const std::string& log, const std::string& record) {
    run.FailWith(run.ErrorText() + log, run.ErrorText() + record);
}

// A sub-run's failure is recorded, but the job goes on with the next picture.
void NoteSubRunFailure(HelperRun& run, const std::string& text) {
    try {
        run.GetSink().Log(text);
    } catch (const std::exception&) {
    }
    run.WriteRecord(text);
}

// The pages show the mail's content: the folder and every page are for their owner only.
void SaveBytes(const std::string& path, const std::string& bytes) {
    if (!WritePrivateFile(path, bytes)) throw HelperFailure(t::kWriteError.str() + path);
}

std::string ResultFolder() {
    const std::string folder = HelperTempFolder();
    if (!MakePrivateFolder(folder)) throw HelperFailure(t::kWriteError.str() + folder);
    return folder;
}

enum class SubRun { kDone, kFailed, kSilent };

// Prints one fetched picture through a Pictor sub-run and waits for its answer.
SubRun PrintThroughSubRun(HelperRun& run, const Steps& s, const ConversionSeams& seams,
                          const std::string& picture, std::string& detail) {
    const std::string subId = modJob::NewJobID();
    const std::string program = JoinPath(AppFolder(), texts::kPictorExe.str());
    const std::string argument = subId + "@\"" + picture + "\" " + t::kSubRunType.str();
    const bool started = seams.startSubRun ? seams.startSubRun(program, argument)
                                           : StartDetached(program, argument) > 0;
    if (!started) throw HelperFailure(t::kStartError.str() + program);
    run.SetStep(s.wait);
    const auto& status = modJob::Status();
    std::string record;
    const bool answered = WaitUntil(
        [&] {
            record = modJob::ReadJobRecord(subId);
            return modJob::HasStatus(record, status.done) ||
                   modJob::HasStatus(record, status.failed);
        },
        kSubRunWait, run.GetClock(), kSubRunPoll);
    run.SetStep(answered ? s.outcome : s.timeout);
    if (!answered) {
        const std::string text = run.ErrorText() + t::kTimeoutError.str();
        run.FailWith(text, text);
    }
    modJob::DeleteJobRecord(subId);
    if (!answered) return SubRun::kSilent;
    if (modJob::HasStatus(record, status.done)) return SubRun::kDone;
    detail = modJob::FailureDetail(record);
    return SubRun::kFailed;
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name.front() != '.' && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && name.find("..") == std::string::npos &&
           name.find('\0') == std::string::npos;
}

bool ConvertRemotely(HelperRun& run, const ConversionRequest& request,
                     const ConversionSeams& seams) {
    using namespace convert;
    const bool pictor = request.user == ConversionUser::kPictor;
    const Steps& s = pictor ? kPictorSteps : kDocuvanSteps;
    run.SetStep(s.setup);
    const std::string base = seams.serviceUrl.empty() ? ConvertServiceUrl() : seams.serviceUrl;
    const http::FormFile file{kFileField.str(), request.path};
    const std::vector<std::pair<std::string, std::string>> fields = {
        {kJobIdField.str(), run.Line().jobId}, {kTypeField.str(), request.typeToken}};

    run.SetStep(s.upload);
    const auto answer =
        http::PostForm(base + kRequestPath.str(), fields, file, seams.uploadTimeout);
    if (!answer.error.empty() || answer.status == 0) {
        const std::string why = answer.error.empty() ? t::kNoResultsError.str() : answer.error;
        Fail(run, t::kUploadError.str() + why,
             t::kUploadError.str() + (pictor ? OneLine(why) : std::to_string(answer.code)));
        return false;
    }
    run.SetStep(s.answer);
    if (answer.status != 200) {
        Fail(run, t::kRequestError.str() + answer.header + "\r\n" + answer.body,
             t::kRequestError.str() + OneLine(answer.header));
        return false;
    }
    run.SetStep(s.marker);
    if (answer.body.compare(0, 2, kMarker.str()) != 0 || answer.body.size() < 2) {
        Fail(run, t::kNoResultsError.str(), t::kNoResultsError.str());
        return false;
    }
    run.SetStep(s.split);
    const auto lines = Split(answer.body, "\n");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& name = lines[i];
        if (name.size() <= 1) continue;
        run.SetStep(s.fetch);
        if (!IsPlainFileName(name)) {
            Fail(run, t::kNameError.str() + ": " + OneLine(name), t::kNameError.str());
            return false;
        }
        const auto picture = http::Get(base + kResultsPath.str() + name, seams.fetchTimeout);
        if (!picture.error.empty()) throw HelperFailure(picture.error);
        if (picture.status != 200 || picture.body.size() <= 2) {
            Fail(run, t::kFetchError.str(), t::kFetchError.str());
            return false;
        }
        run.SetStep(s.save);
        const std::string path = JoinPath(ResultFolder(), name);
        SaveBytes(path, picture.body);
        run.SetStep(s.start);
        std::string detail;
        switch (PrintThroughSubRun(run, s, seams, path, detail)) {
            case SubRun::kDone:
                break;
            case SubRun::kFailed:
                NoteSubRunFailure(run, run.ErrorText() + t::kSubRunError.str() + detail);
                break;
            case SubRun::kSilent:
                return false;
        }
    }
    run.SetStep(s.done);
    run.Finish(modJob::Status().done);
    return run.Succeeded();
}

}  // namespace vellora::helper
