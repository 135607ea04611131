// lintian, Debian's package checker, finds no error in the package, and no warning beyond the
// ones listed here with the reason each one stays.
#include <gtest/gtest.h>

#include <iostream>
#include <set>

#include "tests/package/PackageFiles.h"

namespace vtest::package {
namespace {

// tag -> why it stays.
const std::map<std::string, std::string> kAcceptedWarnings = {};

TEST(PackageLintian, NoErrorsAndNoWarningsBeyondTheAcceptedOnes) {
    const std::string deb = DebPath();
    ASSERT_FALSE(deb.empty());
    const Result r = RunTool("lintian", {"--tag-display-limit", "0", "--display-info", deb});
    ASSERT_NE(r.code, -1) << r.output;
    std::cout << r.output;  // the whole report, for the record
    int errors = 0;
    for (const auto& line : Lines(r.output)) {
        // "E: vellora: tag-name details" / "W: vellora: tag-name details"
        if (line.size() < 3 || line[1] != ':') continue;
        const auto start = line.find(": ", 3);
        const std::string tag = start == std::string::npos
                                    ? line
                                    : line.substr(start + 2, line.find(' ', start + 2) - start - 2);
        if (line[0] == 'E') {
            ++errors;
            ADD_FAILURE() << line;
        } else if (line[0] == 'W') {
            EXPECT_TRUE(kAcceptedWarnings.count(tag)) << "new warning: " << line;
        }
    }
    EXPECT_EQ(errors, 0);
    // lintian's own verdict: it exits non-zero on an error.
    EXPECT_EQ(r.code, 0) << r.output;
}

}  // namespace
}  // namespace vtest::package
