// The Debian package under test: built from this build tree by the package_build test, then
// unpacked once per test program into a private root with dpkg-deb -x.
#pragma once

#include <string>
#include <vector>

namespace vtest::package {

// The package file the fixture made; a test fails with a message when there is none.
std::string DebPath();

// The private root the package is unpacked into (made at the first call, kept for the run).
const std::string& Root();

// Where a command of the machine lies on PATH ("" when it is not installed).
std::string Tool(const std::string& name);

struct Result {
    int code = -1;
    std::string output;  // standard output and standard error
};
// Runs a machine command found on PATH, with its output captured.
Result RunTool(const std::string& name, const std::vector<std::string>& args);

// The lines of a text.
std::vector<std::string> Lines(const std::string& text);

// A manual page's text with the roff escapes of a minus sign undone ("\-" becomes "-").
std::string ManPageText(const std::string& gzipped);

}  // namespace vtest::package
