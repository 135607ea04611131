#include "platform/office/OfficeProfile.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "platform/office/GroupRun.h"
#include "platform/office/OfficeHardening.h"
#include "platform/office/OfficeTexts.h"

namespace vellora::office {
namespace {

namespace fs = std::filesystem;
namespace t = texts;

// LibreOffice's exit code when it wants to be started again (first start of a profile).
constexpr int kRestartCode = 81;

std::string Hex(std::size_t value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%016zx", value);
    return buffer;
}

bool Prepared(const std::string& folder) {
    return fs::exists(folder + t::kReadyMark.str());
}

// Runs a warm-up conversion with a new profile at `profile`; true when it left a full one.
std::string WarmUp(const std::string& program, const std::string& profile,
                   std::chrono::milliseconds timeout, confine::Mode mode) {
    const std::string scratch = profile + VL("-scratch");
    std::error_code ec;
    fs::create_directories(scratch, ec);
    const std::string doc = scratch + t::kWarmName.str();
    if (FILE* f = std::fopen(doc.c_str(), "w")) {
        std::fputs(t::kWarmText.str().c_str(), f);
        std::fclose(f);
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string error;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const auto run = RunOffice(ConvertArguments(program, profile, doc, scratch),
                                   {scratch, profile}, scratch + t::kLogName.str(),
                                   std::max(left, std::chrono::milliseconds(1)), mode);
        if (!run.started) {
            error = t::kNotStarted.str() + run.error;
            break;
        }
        if (run.timedOut) {
            error = t::kTimedOut.str() + std::to_string((timeout.count() + 999) / 1000) +
                    t::kSecondsStopped.str();
            break;
        }
        if (run.exitCode != kRestartCode && Prepared(profile)) break;
    }
    fs::remove_all(scratch, ec);
    if (error.empty() && !Prepared(profile)) error = t::kNoPdf.str();
    return error;
}

}  // namespace

std::map<std::string, std::string> OfficeEnvironment(const std::string& tempFolder) {
    std::error_code ec;
    fs::create_directories(tempFolder, ec);
    return {{t::kLockingVariable.str(), VL("1")}, {VL("TMPDIR"), tempFolder}};
}

GroupRunResult RunOffice(const std::vector<std::string>& args,
                         const std::vector<std::string>& runFolders, const std::string& log,
                         std::chrono::milliseconds timeout, confine::Mode mode) {
    confine::Sandbox box;
    box.writable = runFolders;
    box.office = true;
    if (!runFolders.empty()) box.home = runFolders.front();
    const confine::Wrapped wrapped = confine::Wrap(args, box, mode);
    if (!wrapped.error.empty()) {
        GroupRunResult refused;
        refused.error = wrapped.error;
        return refused;
    }
    const std::string temp = runFolders.empty() ? VL("/tmp") : runFolders.front() + VL("/tmp");
    return RunInOwnGroup(wrapped.argv, OfficeEnvironment(temp), log, timeout);
}

std::vector<std::string> ConvertArguments(const std::string& program, const std::string& profile,
                                          const std::string& document, const std::string& outDir,
                                          const std::string& importFilter) {
    std::vector<std::string> args = {program,
                                     t::kProfileArgument.str() + FileUrl(profile).substr(7),
                                     t::kHeadless.str(),
                                     t::kNoRestore.str(),
                                     t::kNoLogo.str(),
                                     t::kNoLockCheck.str(),
                                     t::kConvertTo.str(),
                                     t::kPdf.str(),
                                     t::kOutDir.str(),
                                     outDir};
    if (!importFilter.empty()) args.push_back(t::kInFilter.str() + importFilter);
    args.push_back(document);
    return args;
}

std::string FileUrl(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string url = VL("file://");
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

std::string MakePrivateProfile(const std::string& program, const std::string& cacheFolder,
                               const std::string& target, std::chrono::milliseconds timeout,
                               confine::Mode mode) {
    std::error_code ec;
    fs::create_directories(cacheFolder, ec);
    const std::string prepared =
        cacheFolder + t::kProfileFolder.str() + Hex(std::hash<std::string>{}(program));
    if (!Prepared(prepared)) {
        std::string fresh = cacheFolder + t::kProfileTemp.str();
        if (::mkdtemp(fresh.data()) == nullptr) {
            return t::kNoProfile.str() + cacheFolder + VL(": ") + std::strerror(errno);
        }
        const std::string error = WarmUp(program, fresh, timeout, mode);
        if (!error.empty()) {
            fs::remove_all(fresh, ec);
            return t::kNoProfile.str() + error;
        }
        // Another run may have finished its own first; then ours is surplus.
        fs::rename(fresh, prepared, ec);
        if (ec) fs::remove_all(fresh, ec);
    }
    fs::copy(prepared, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (ec) return t::kNoProfile.str() + ec.message();
    return HardenProfile(target);
}

}  // namespace vellora::office
