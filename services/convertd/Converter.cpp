#include "services/convertd/Converter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/office/GroupRun.h"
#include "platform/office/Office.h"
#include "services/convertd/ConvertTexts.h"
#include "services/convertd/PdfRender.h"

namespace vellora::convertd {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

milliseconds Remaining(const ConvertLimits& l) {
    const auto left =
        std::chrono::duration_cast<milliseconds>(l.deadline - std::chrono::steady_clock::now());
    return std::max(left, milliseconds(0));
}

bool IsPng(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[8] = {};
    in.read(head, 8);
    return in.gcount() == 8 && std::string(head, 8) == std::string("\x89PNG\r\n\x1a\n", 8);
}

std::vector<std::string> PagesWritten(const std::string& outPrefix) {
    std::vector<std::string> pages;
    const std::string format = texts::kPageFormat.str();
    for (int i = 1;; ++i) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, format.c_str(), i);
        if (!fs::exists(outPrefix + suffix)) break;
        pages.push_back(outPrefix + suffix);
    }
    return pages;
}

Conversion Failure(int status, const std::string& error) {
    return {status, error, {}};
}

Conversion TimedOut() {
    return Failure(504, texts::kTimedOut.str());
}

std::string RenderError(int code) {
    switch (code) {
        case kRenderLocked:
            return texts::kLocked.str();
        case kRenderTooManyPages:
            return texts::kTooManyPages.str();
        case kRenderNoPages:
            return texts::kNoPages.str();
        default:
            return texts::kUnreadable.str();
    }
}

// Runs one child on the upload, confined to the work folder.
office::GroupRunResult RunConfined(const std::vector<std::string>& argv,
                                   const std::map<std::string, std::string>& env,
                                   const std::string& workDir, bool pictures,
                                   const ConvertLimits& l) {
    confine::Sandbox box;
    box.writable = {workDir};
    box.home = workDir;
    box.pictures = pictures;
    const confine::Wrapped wrapped = confine::Wrap(argv, box, l.confinement);
    if (!wrapped.error.empty()) {
        office::GroupRunResult refused;
        refused.error = wrapped.error;
        return refused;
    }
    return office::RunInOwnGroup(wrapped.argv, env, workDir + "/" + texts::kConverterLog.str(),
                                 Remaining(l));
}

Conversion RenderPdfPages(const std::string& pdf, const std::string& workDir,
                          const std::string& outPrefix, const ConvertLimits& l) {
    const auto run = RunConfined(
        {l.selfProgram, texts::kRenderPdfMode.str(), pdf, outPrefix, std::to_string(l.maxPages)},
        {}, workDir, false, l);
    if (run.timedOut) return TimedOut();
    if (!run.started) return Failure(500, run.error);
    if (run.exitCode != kRenderOk) {
        return Failure(422, texts::kFailed.str() + RenderError(run.exitCode));
    }
    Conversion c;
    c.pages = PagesWritten(outPrefix);
    if (c.pages.empty()) return Failure(422, texts::kFailed.str() + texts::kNoPages.str());
    return c;
}

Conversion ConvertPicture(const std::string& input, const std::string& coder,
                          const std::string& workDir, const std::string& outPrefix,
                          const ConvertLimits& l) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, texts::kPageFormat.str().c_str(), 1);
    const std::string out = outPrefix + suffix;
    const auto left = Remaining(l);
    const std::string seconds = std::to_string(std::max<long>(1, left.count() / 1000));
    // The first frame only (a layered file's composite), turned upright, on white. Fast
    // compression: the picture travels once over a near link and is then printed, so a third
    // of the time matters more than twice the size.
    const std::vector<std::string> argv = {l.convertProgram,   coder + ":" + input + "[0]",
                                           VL("-auto-orient"), VL("-background"),
                                           VL("white"),        VL("-flatten"),
                                           VL("-define"),      VL("png:compression-level=1"),
                                           VL("-define"),      VL("png:compression-filter=1"),
                                           VL("png:") + out};
    const auto run = RunConfined(argv,
                                 {{VL("MAGICK_TIME_LIMIT"), seconds},
                                  {VL("MAGICK_MEMORY_LIMIT"), VL("512MiB")},
                                  {VL("MAGICK_MAP_LIMIT"), VL("1GiB")},
                                  {VL("MAGICK_DISK_LIMIT"), VL("1GiB")},
                                  {VL("MAGICK_AREA_LIMIT"), VL("128MP")},
                                  {VL("MAGICK_TEMPORARY_PATH"), workDir}},
                                 workDir, true, l);
    if (run.timedOut) return TimedOut();
    if (!run.started) return Failure(500, run.error);
    if (run.exitCode != 0 || !IsPng(out)) {
        std::error_code ec;
        fs::remove(out, ec);
        return Failure(422, texts::kFailed.str() + texts::kNoResult.str());
    }
    return {200, {}, {out}};
}

Conversion ConvertOffice(const std::string& input, const std::string& workDir,
                         const std::string& outPrefix, const ConvertLimits& l) {
    if (const std::string bad = office::CheckDocument(input); !bad.empty()) {
        return Failure(422, texts::kFailed.str() + bad);
    }
    office::ConvertOptions options;
    options.timeout = Remaining(l);
    options.confinement = l.confinement;
    const auto pdf = office::ConvertToPdf(input, workDir, options);
    if (Remaining(l).count() == 0) return TimedOut();
    if (!pdf.ok) return Failure(422, texts::kFailed.str() + pdf.error);
    return RenderPdfPages(pdf.pdfPath, workDir, outPrefix, l);
}

}  // namespace

Family FamilyOf(const std::string& type, std::string* coder) {
    const std::string t = " " + Lower(type);
    if (type.empty() || type.find(' ') != std::string::npos) return Family::Unknown;
    if (texts::kPdfTypes.str().find(t + " ") != std::string::npos) return Family::Pdf;
    if (texts::kOfficeTypes.str().find(t + " ") != std::string::npos) return Family::Office;
    const std::string coders = texts::kPictureCoders.str();
    const auto at = coders.find(t + "=");
    if (at == std::string::npos) return Family::Unknown;
    if (coder) {
        const auto start = at + t.size() + 1;
        *coder = coders.substr(start, coders.find(' ', start) - start);
    }
    return Family::Picture;
}

Conversion Convert(const std::string& input, const std::string& type, const std::string& workDir,
                   const std::string& outPrefix, const ConvertLimits& limits) {
    if (std::string why;
        limits.confinement == confine::Mode::Required && !confine::Available(&why)) {
        return Failure(503, texts::kNoSandbox.str() + why);
    }
    std::string coder;
    switch (FamilyOf(type, &coder)) {
        case Family::Pdf:
            return RenderPdfPages(input, workDir, outPrefix, limits);
        case Family::Picture:
            return ConvertPicture(input, coder, workDir, outPrefix, limits);
        case Family::Office:
            return ConvertOffice(input, workDir, outPrefix, limits);
        case Family::Unknown:
            break;
    }
    return Failure(415, texts::kUnsupported.str() + type);
}

}  // namespace vellora::convertd
