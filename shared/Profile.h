// The private-profile engine: INI files with the semantics programs of this kind expect.
// Section and key names compare without regard to letter case, blanks around keys and values
// are trimmed, one pair of surrounding quotes is removed on reading, the first matching section
// and key win, and comment and unknown lines survive every write.
//
// Several processes share one file. A write takes an exclusive lock on a side file
// ("<file>.lock"), reads the file, writes the changed text to a temporary file, syncs it and
// renames it over the original; a reader therefore always sees one whole version of the file
// and no write is lost. The file is created readable by its owner only (it holds passwords).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vellora::profile {

// The value of key in section, or nothing when the file, the section or the key is absent.
std::optional<std::string> ReadString(const std::string& path, std::string_view section,
                                      std::string_view key);

// Sets key to value, replacing the first matching key in place or adding it at the end of
// its section (the section is added when absent). Line breaks in the value become blanks so
// that a value can never add lines to the file. Refuses a key that is empty, holds "=" or a
// line break, or begins with "[", and a section holding "]" or a line break. Returns false when
// the write was refused or the file could not be written.
bool WriteString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value);

// Removes the key (from the first matching section, which is the one readers see).
bool DeleteKey(const std::string& path, std::string_view section, std::string_view key);

// Removes every section of that name with all its keys.
bool DeleteSection(const std::string& path, std::string_view section);

}  // namespace vellora::profile
