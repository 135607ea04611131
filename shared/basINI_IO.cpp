#include "shared/basINI_IO.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "shared/AppFolder.h"
#include "shared/Profile.h"
#include "shared/Texts.h"

namespace basINI_IO {

std::string MissingValue() {
    return vellora::texts::kMissingValue.str();
}

std::string SettingsPath() {
    return vellora::JoinPath(vellora::AppFolder(), vellora::texts::kSettingsFileName.str());
}

std::string ReadSettingText(const std::string& path, const std::string& section,
                            const std::string& key) {
    auto v = vellora::profile::ReadString(path, section, key);
    if (!v) return MissingValue();
    if (v->size() > kReadBuffer - 1) v->resize(kReadBuffer - 1);
    return *v;
}

// Like the system's integer read: the leading decimal number of the value (0 when there is
// none), the default for an absent key.
std::int32_t ReadSettingNumber(const std::string& path, const std::string& section,
                               const std::string& key) {
    const auto v = vellora::profile::ReadString(path, section, key);
    if (!v) return -1;
    const char* s = v->c_str();
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(s, &end, 10);
    if (end == s) return 0;
    if (errno == ERANGE || n > INT32_MAX || n < INT32_MIN) return n < 0 ? INT32_MIN : INT32_MAX;
    return static_cast<std::int32_t>(n);
}

void WriteSettingText(const std::optional<std::string>& value, const std::string& path,
                      const std::string& section, const std::optional<std::string>& key) {
    if (!key) {
        if (!value) vellora::profile::DeleteSection(path, section);
        return;
    }
    if (!value) {
        vellora::profile::DeleteKey(path, section, *key);
        return;
    }
    vellora::profile::WriteString(path, section, *key, *value);
}

void WriteSettingNumber(std::int32_t value, const std::string& path, const std::string& section,
                        const std::string& key) {
    WriteSettingText(std::to_string(value), path, section, key);
}

void DeleteSettingKey(const std::string& path, const std::string& section, const std::string& key) {
    WriteSettingText(std::nullopt, path, section, key);
}

}  // namespace basINI_IO
