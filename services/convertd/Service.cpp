#include "services/convertd/Service.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "services/common/RequestLog.h"
#include "services/convertd/ConvertProtocol.h"
#include "services/convertd/ConvertTexts.h"
#include "services/convertd/Converter.h"
#include "services/convertd/Results.h"

namespace vellora::convertd {
namespace {

namespace fs = std::filesystem;
namespace t = texts;
using service::Answer;

void Error(httplib::Response& res, int status, const std::string& text) {
    Answer(res, status, convert::kErrorWord.str() + " " + text);
}

bool AllDigits(const std::string& s, std::size_t max) {
    if (s.empty() || s.size() > max) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

bool IsToken(const std::string& s) {
    if (s.empty() || s.size() > 16) return false;
    for (unsigned char c : s) {
        if (!std::isalnum(c)) return false;
    }
    return true;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A work folder for one request, removed however the request ends.
struct WorkFolder {
    std::string path;
    explicit WorkFolder(const std::string& p) : path(p) {
        std::error_code ec;
        if (!fs::create_directory(path, ec)) path.clear();
    }
    ~WorkFolder() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
};

// A form field's content without a copy (get_file_value copies, and uploads are large).
const std::string& FileField(const httplib::Request& req, const std::string& name) {
    static const std::string kNone;
    const auto it = req.files.find(name);
    return it == req.files.end() ? kNone : it->second.content;
}

service::GateOptions GateFor(const Options& o) {
    service::GateOptions g;
    g.listen = o.listen;
    g.port = o.port;
    g.maxBody = static_cast<std::size_t>(o.maxUploadBytes);
    g.requestTime = std::chrono::seconds(o.requestSeconds);
    g.hostNames = o.hostNames;
    // Conversions wait for a free slot inside a worker; result downloads need workers too.
    g.workers = 2 * o.jobs + 4;
    g.errorWord = convert::kErrorWord.str();
    g.log = [](const std::string& line) { service::LogLine(line); };
    return g;
}

}  // namespace

Service::Service(const Options& options)
    : options_(options),
      gate_(GateFor(options),
            [this](service::ParsedRequest&& r, const service::Peer& p) {
                return server_.Serve(std::move(r), p);
            }),
      slots_(options.jobs) {
    server_.set_payload_max_length(static_cast<std::size_t>(options_.maxUploadBytes));
    server_.Post(convert::kRequestPath.str(),
                 [this](const httplib::Request& q, httplib::Response& r) { HandleConvert(q, r); });
    server_.Get(t::kResultPattern.str(),
                [this](const httplib::Request& q, httplib::Response& r) { HandleResult(q, r); });
    server_.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return;
        if (res.status == 413) return Error(res, 413, t::kTooLarge.str());
        Error(res, res.status, t::kNotFound.str());
    });
    server_.set_exception_handler([](const httplib::Request&, httplib::Response& res,
                                     std::exception_ptr) { Error(res, 500, t::kInternal.str()); });
    server_.set_logger([](const httplib::Request& req, const httplib::Response& res) {
        std::string extra;
        if (req.has_file(convert::kJobIdField.str())) {
            const auto size = FileField(req, convert::kFileField.str()).size();
            extra = convert::kJobIdField.str() + "=" + FileField(req, convert::kJobIdField.str()) +
                    " " + convert::kTypeField.str() + "=" +
                    FileField(req, convert::kTypeField.str()) + " " + VL("bytes=") +
                    std::to_string(size);
        }
        service::LogRequest(req, res, extra);
    });
    // Before any thread of ours exists, so that every one of them leaves the signals blocked.
    service::StopOnSignals([this] { gate_.Stop(); });
    sweeper_ = std::thread([this] { Sweep(); });
}

Service::~Service() {
    {
        std::lock_guard lock(sweepMutex_);
        stopping_ = true;
    }
    sweepWake_.notify_all();
    if (sweeper_.joinable()) sweeper_.join();
}

bool Service::Run() {
    if (!gate_.Bind()) return false;
    service::LogLine(t::kListening.str() + options_.listen + ":" + std::to_string(options_.port));
    gate_.Run();
    return true;
}

void Service::HandleConvert(const httplib::Request& req, httplib::Response& res) {
    using namespace convert;
    if (!req.is_multipart_form_data()) return Error(res, 400, t::kNotMultipart.str());
    for (const auto& field : {kFileField.str(), kJobIdField.str(), kTypeField.str()}) {
        if (!req.has_file(field)) return Error(res, 400, t::kMissingField.str() + field);
    }
    const std::string& jobId = FileField(req, kJobIdField.str());
    const std::string& type = FileField(req, kTypeField.str());
    if (!AllDigits(jobId, 10)) return Error(res, 400, t::kBadJobId.str());
    if (!IsToken(type)) return Error(res, 400, t::kBadType.str());
    if (FamilyOf(type) == Family::Unknown) return Error(res, 415, t::kUnsupported.str() + type);
    const std::string& document = FileField(req, kFileField.str());
    if (document.empty()) return Error(res, 400, t::kEmptyUpload.str());

    ConvertLimits limits;
    limits.deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(options_.timeLimitSeconds);
    limits.maxPages = options_.maxPages;
    limits.convertProgram = options_.convertProgram;
    limits.confinement = options_.confinement;
    limits.selfProgram = fs::read_symlink(t::kSelfExe.str()).string();
    if (!slots_.try_acquire_until(limits.deadline)) return Error(res, 503, t::kBusy.str());
    struct Release {
        std::counting_semaphore<64>& s;
        ~Release() { s.release(); }
    } release{slots_};

    const std::string token = NewToken();
    WorkFolder work(options_.workDir + "/" + token);
    if (work.path.empty()) return Error(res, 500, t::kWorkFailed.str());
    // The upload is stored under a name of our own; only its type token picks the extension.
    const std::string input = work.path + "/" + t::kUploadName.str() + Lower(type);
    {
        std::ofstream out(input, std::ios::binary);
        out.write(document.data(), static_cast<std::streamsize>(document.size()));
        if (!out) return Error(res, 500, t::kWorkFailed.str());
    }
    const Conversion c = Convert(input, type, work.path, work.path + "/" + token, limits);
    if (c.status != 200) return Error(res, c.status, c.error);
    const auto names = PublishPages(c.pages, options_.resultsDir, token);
    if (names.empty()) return Error(res, 500, t::kWorkFailed.str());
    std::string body = kMarker.str() + "\n";
    for (const auto& name : names) body += name + "\n";
    res.status = 200;
    res.set_content(body, VL("text/plain; charset=utf-8"));
}

void Service::HandleResult(const httplib::Request& req, httplib::Response& res) {
    const std::string name = req.matches.size() > 1 ? std::string(req.matches[1]) : "";
    if (!IsResultName(name)) return Error(res, 404, t::kNotFound.str());
    std::ifstream in(options_.resultsDir + "/" + name, std::ios::binary);
    if (!in) return Error(res, 404, t::kNotFound.str());
    std::ostringstream data;
    data << in.rdbuf();
    res.status = 200;
    res.set_content(data.str(), t::kPngMime.str());
}

void Service::Sweep() {
    std::unique_lock lock(sweepMutex_);
    while (!stopping_) {
        sweepWake_.wait_for(lock, std::chrono::seconds(options_.sweepSeconds));
        if (stopping_) break;
        RemoveOlderThan(options_.resultsDir, std::chrono::seconds(options_.keepSeconds));
        // Work folders live only as long as their request; one older than the longest
        // request was left by a service that did not end cleanly.
        RemoveOlderThan(options_.workDir, std::chrono::seconds(options_.timeLimitSeconds * 2 + 60));
    }
}

}  // namespace vellora::convertd
