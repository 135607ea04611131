#include "shared/ServiceAddress.h"

#include <cstdlib>

#include "shared/Texts.h"
#include "shared/basINI_IO.h"

namespace vellora {
namespace {

std::string StripSlashes(std::string url) {
    while (!url.empty() && (url.back() == '/' || url.back() == ' ')) url.pop_back();
    return url;
}

// The environment wins over the settings file, which wins over the built-in default.
std::string Lookup(const std::string& envName, const std::string& key,
                   const std::string& fallback) {
    if (const char* env = std::getenv(envName.c_str()); env && *env) return StripSlashes(env);
    const std::string stored =
        basINI_IO::ReadSettingText(basINI_IO::SettingsPath(), texts::kServicesSection.str(), key);
    if (!stored.empty() && stored != basINI_IO::MissingValue()) return StripSlashes(stored);
    return fallback;
}

}  // namespace

std::string NotifyServiceUrl() {
    return Lookup(texts::kNotifyUrlEnv.str(), texts::kKeyNotifyUrl.str(),
                  texts::kDefaultNotifyUrl.str());
}

std::string ConvertServiceUrl() {
    return Lookup(texts::kConvertUrlEnv.str(), texts::kKeyConvertUrl.str(),
                  texts::kDefaultConvertUrl.str());
}

}  // namespace vellora
