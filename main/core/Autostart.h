// The desktop session's autostart entry of the program: a desktop entry file in the user's
// autostart folder ($XDG_CONFIG_HOME/autostart, by default ~/.config/autostart). The
// start-with-session option keeps it there; placing it there by hand turns the option on.
#pragma once

#include <stdexcept>
#include <string>

namespace vellora::core {

struct AutostartError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The autostart folder of the current user; empty when the environment names none (no
// absolute XDG_CONFIG_HOME and no HOME): there is then no entry to keep.
std::string AutostartFolder();
// The entry's full path, or empty with no folder.
std::string AutostartEntryPath();
bool AutostartEntryExists();

// The text of the entry for a program in appFolder. Throws AutostartError for a folder the
// entry cannot express (control characters).
std::string AutostartEntryText(const std::string& appFolder);

// Writes the entry (creating the folder), replacing an older one in one step. Throws
// AutostartError.
void WriteAutostartEntry(const std::string& appFolder);
// Deletes the entry when it is there. Throws AutostartError.
void RemoveAutostartEntry();

}  // namespace vellora::core
