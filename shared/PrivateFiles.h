// Files and folders that hold mail content or settings are their owner's alone: files 0600,
// folders 0700, also where an earlier version left them open to others.
#pragma once

#include <string>
#include <string_view>

namespace vellora {

// Creates the folder (and any missing parents) and narrows it to its owner; false when it
// cannot be made or is not a folder.
bool MakePrivateFolder(const std::string& path);

// Writes the whole file (created or truncated) for its owner only; false on any failure.
bool WritePrivateFile(const std::string& path, std::string_view bytes);

// Appends the bytes in one write to a file opened for appending (created for its owner only),
// so that entries of programs writing at once never mix. 0, or the errno of the failure.
int AppendPrivateFile(const std::string& path, std::string_view bytes);

}  // namespace vellora
