#include "services/convertd/Options.h"

#include "services/convertd/ConvertTexts.h"
#include "shared/ServiceAddress.h"

namespace vellora::convertd {
namespace {

bool ParseNumber(const std::string& text, long max, long& out) {
    if (text.empty() || text.size() > 12) return false;
    long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v <= 0 || v > max) return false;
    out = v;
    return true;
}

bool ParseInt(const std::string& text, long max, int& out) {
    long v = 0;
    if (!ParseNumber(text, max, v)) return false;
    out = static_cast<int>(v);
    return true;
}

bool Apply(const std::string& name, const std::string& value, Options& o) {
    using namespace texts;
    if (name == kOptListen.str())
        o.listen = value;
    else if (name == kOptPort.str())
        return ParseInt(value, 65535, o.port);
    else if (name == kOptResults.str())
        o.resultsDir = value;
    else if (name == kOptWork.str())
        o.workDir = value;
    else if (name == kOptMaxUpload.str())
        return ParseNumber(value, 1L << 32, o.maxUploadBytes);
    else if (name == kOptTimeLimit.str())
        return ParseInt(value, 3600, o.timeLimitSeconds);
    else if (name == kOptKeep.str())
        return ParseInt(value, 30 * 86400, o.keepSeconds);
    else if (name == kOptSweep.str())
        return ParseInt(value, 86400, o.sweepSeconds);
    else if (name == kOptMaxPages.str())
        return ParseInt(value, 10000, o.maxPages);
    else if (name == kOptJobs.str())
        return ParseInt(value, 64, o.jobs);
    else if (name == kOptConvert.str())
        o.convertProgram = value;
    else if (name == kOptLog.str())
        o.logFile = value;
    else if (name == kOptRequestTime.str())
        return ParseInt(value, 3600, o.requestSeconds);
    else if (name == kOptHostName.str())
        o.hostNames.push_back(value);
    else if (name == kOptConfinement.str() && value == kConfinementAuto.str())
        o.confinement = confine::Mode::Auto;
    else if (name == kOptConfinement.str() && value == kConfinementRequired.str())
        o.confinement = confine::Mode::Required;
    else
        return false;
    return !value.empty();
}

}  // namespace

std::optional<std::string> ParseOptions(const std::vector<std::string>& args, Options& o) {
    o = Options{};
    o.listen = texts::kDefaultListen.str();
    o.port = kDefaultConvertPort;
    o.convertProgram = texts::kDefaultConvert.str();
    for (std::size_t i = 0; i < args.size(); i += 2) {
        if (args[i].rfind("--", 0) != 0 || i + 1 >= args.size()) return args[i];
        if (!Apply(args[i].substr(2), args[i + 1], o)) return args[i];
    }
    if (o.resultsDir.empty()) return "--" + texts::kOptResults.str();
    if (o.workDir.empty()) return "--" + texts::kOptWork.str();
    return std::nullopt;
}

}  // namespace vellora::convertd
