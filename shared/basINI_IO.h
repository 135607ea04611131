// Settings access for every program: reads and writes of single values in the settings file.
// Reads never fail: an absent value gives the missing-value text "Bad Key" or -1.
// Writes report nothing; a write the system refuses is lost, and the program goes on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace basINI_IO {

inline constexpr std::size_t kReadBuffer = 1024;  // a read gives at most 1023 characters

std::string ReadSettingText(const std::string& path, const std::string& section,
                            const std::string& key);
std::int32_t ReadSettingNumber(const std::string& path, const std::string& section,
                               const std::string& key);
// A missing key (std::nullopt) with a missing value removes the whole section.
void WriteSettingText(const std::optional<std::string>& value, const std::string& path,
                      const std::string& section, const std::optional<std::string>& key);
void WriteSettingNumber(std::int32_t value, const std::string& path, const std::string& section,
                        const std::string& key);
void DeleteSettingKey(const std::string& path, const std::string& section, const std::string& key);

// The missing-value text, decoded.
std::string MissingValue();

// The settings file of this installation: the program's folder and the settings file name.
std::string SettingsPath();

}  // namespace basINI_IO
