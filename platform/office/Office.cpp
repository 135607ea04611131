#include "platform/office/Office.h"

#include <stdlib.h>
#include <unistd.h>

#include <poppler-document.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/office/GroupRun.h"
#include "platform/office/OfficeProfile.h"
#include "platform/office/OfficeTexts.h"

namespace vellora::office {
namespace {

namespace fs = std::filesystem;
namespace t = texts;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// LibreOffice's exit code when it wants to be started again.
constexpr int kRestartCode = 81;

// A private folder inside the output folder (same file system, so the PDF moves by a link),
// removed with everything in it however the run ends.
class WorkFolder {
  public:
    explicit WorkFolder(const std::string& parent) {
        std::string name = parent + t::kWorkFolder.str();
        if (::mkdtemp(name.data()) != nullptr) path_ = name;
    }
    ~WorkFolder() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

std::string Env(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? value : "";
}

std::string ProgramOf(const ConvertOptions& options) {
    if (!options.program.empty()) return options.program;
    const std::string fromEnv = Env(t::kProgramVariable.str());
    return fromEnv.empty() ? t::kDefaultProgram.str() : fromEnv;
}

std::string CacheOf(const ConvertOptions& options) {
    if (!options.cacheFolder.empty()) return options.cacheFolder;
    std::string base = Env(t::kCacheVariable.str());
    if (!base.empty()) return base;
    base = Env(VL("XDG_CACHE_HOME"));
    if (base.empty() && !Env(VL("HOME")).empty()) base = Env(VL("HOME")) + t::kUserCache.str();
    if (base.empty()) base = VL("/tmp");
    return base + t::kCacheSub.str();
}

std::string LowerExtension(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return ext;
}

// The last non-empty line the office program wrote: it names why loading failed.
std::string LastLine(const std::string& file) {
    std::ifstream in(file);
    std::string line, last;
    while (std::getline(in, line)) {
        if (line.find_first_not_of(" \t\r") != std::string::npos) last = line;
    }
    if (last.size() > 300) last.resize(300);
    return last;
}

milliseconds Left(Clock::time_point deadline) {
    return std::max(std::chrono::duration_cast<milliseconds>(deadline - Clock::now()),
                    milliseconds(1));
}

std::string Seconds(milliseconds ms) {
    return std::to_string((ms.count() + 999) / 1000);
}

// Why no PDF came out of a run that ended by itself.
std::string NoPdfReason(const GroupRunResult& run, const std::string& log) {
    std::string reason = t::kNoPdf.str();
    if (run.signal != 0) {
        reason += t::kSignal.str() + std::to_string(run.signal) + ')';
    } else if (run.exitCode != 0) {
        reason += t::kExitCode.str() + std::to_string(run.exitCode) + ')';
    }
    const std::string said = LastLine(log);
    if (!said.empty()) reason += t::kOfficeSaid.str() + said;
    return reason;
}

// The PDF counts as the document only when Poppler opens it and it has pages.
std::string CheckPdf(const std::string& pdf, int& pages) {
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(pdf));
    if (!doc) return t::kBadPdf.str();
    if (doc->is_locked()) return t::kLockedPdf.str();
    pages = doc->pages();
    if (pages <= 0) return t::kNoPages.str();
    return {};
}

// Moves the PDF into the caller's folder without replacing a file already there: two
// documents with one base name must not overwrite each other.
std::string Keep(const std::string& pdf, const std::string& outDir, const std::string& stem,
                 std::string& error) {
    for (int n = 1; n < 1000; ++n) {
        const std::string target = outDir + '/' + stem +
                                   (n == 1 ? std::string() : '-' + std::to_string(n)) +
                                   t::kPdfSuffix.str();
        if (::link(pdf.c_str(), target.c_str()) == 0) return target;
        if (errno != EEXIST) break;
    }
    error = t::kMoveFailed.str() + std::strerror(errno);
    return {};
}

ConvertResult Fail(std::string error) {
    ConvertResult result;
    result.error = std::move(error);
    return result;
}

}  // namespace

ConvertResult ConvertToPdf(const std::string& input, const std::string& outDir,
                           milliseconds timeout) {
    ConvertOptions options;
    options.timeout = timeout;
    return ConvertToPdf(input, outDir, options);
}

ConvertResult ConvertToPdf(const std::string& input, const std::string& outDir,
                           const ConvertOptions& options) {
    if (std::string why = CheckDocument(input); !why.empty()) return Fail(why);
    const auto deadline = Clock::now() + options.timeout;
    WorkFolder work(outDir);
    if (work.path().empty())
        return Fail(t::kNoOutDir.str() + outDir + VL(": ") + std::strerror(errno));

    // LibreOffice writes a lock file beside what it opens and may touch it: it gets a copy.
    const std::string copy = work.path() + '/' + t::kCopyName.str() + LowerExtension(input);
    std::error_code ec;
    fs::copy_file(input, copy, ec);
    if (ec) return Fail(t::kCopyFailed.str() + ec.message());

    const std::string program = ProgramOf(options);
    const std::string profile = work.path() + VL("/profile");
    if (std::string why = MakePrivateProfile(program, CacheOf(options), profile, Left(deadline),
                                             options.confinement);
        !why.empty()) {
        return Fail(why);
    }
    const std::string log = work.path() + t::kLogName.str();
    GroupRunResult run;
    for (int attempt = 0; attempt < 2; ++attempt) {
        run =
            RunOffice(ConvertArguments(program, profile, copy, work.path(), ImportFilterFor(copy)),
                      {work.path()}, log, Left(deadline), options.confinement);
        if (!run.started) return Fail(t::kNotStarted.str() + run.error);
        if (run.timedOut) {
            return Fail(t::kTimedOut.str() + Seconds(options.timeout) + t::kSecondsStopped.str());
        }
        if (run.exitCode != kRestartCode) break;
    }

    const std::string pdf = work.path() + '/' + t::kCopyName.str() + t::kPdfSuffix.str();
    if (!fs::exists(pdf)) return Fail(NoPdfReason(run, log));
    ConvertResult result;
    if (std::string why = CheckPdf(pdf, result.pages); !why.empty()) return Fail(why);
    std::string error;
    result.pdfPath = Keep(pdf, outDir, fs::path(input).stem().string(), error);
    if (result.pdfPath.empty()) return Fail(error);
    result.ok = true;
    return result;
}

}  // namespace vellora::office
