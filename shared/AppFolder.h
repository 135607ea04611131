// The installation folder: every program keeps its settings, log and temporary folders
// beside its own executable, so all programs installed together share them.
#pragma once

#include <string>

namespace vellora {

// The folder of the running executable, without a trailing "/". The environment variable
// VELLORA_FOLDER, when set, names another folder (a private installation for tests and demos);
// helpers started by the main program inherit it, so they keep sharing its files.
std::string AppFolder();

// For unit tests inside one test process: pin the folder ("" returns to the default).
void SetAppFolderForTesting(const std::string& folder);

// Joins a folder and a file name with one "/".
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace vellora
