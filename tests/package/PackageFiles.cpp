#include "tests/package/PackageFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

#include "tests/support/TestSupport.h"

namespace vtest::package {
namespace fs = std::filesystem;

std::string DebPath() {
    const std::string folder = VELLORA_PACKAGE_OUT;
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("vellora_" VELLORA_VERSION "_", 0) == 0 &&
            entry.path().extension() == ".deb")
            found.push_back(entry.path().string());
    }
    if (found.size() != 1) {
        ADD_FAILURE() << "expected one vellora_" VELLORA_VERSION "_*.deb in " << folder
                      << " (made by the package_build test), found " << found.size();
        return {};
    }
    return found.front();
}

const std::string& Root() {
    static std::unique_ptr<TempDir> dir;
    static std::string root;
    if (!dir) {
        dir = std::make_unique<TempDir>("vellora-deb");
        root = dir->path() + "/root";
        fs::create_directories(root);
        const std::string deb = DebPath();
        if (!deb.empty()) {
            const Result r = RunTool("dpkg-deb", {"-x", deb, root});
            EXPECT_EQ(r.code, 0) << r.output;
        }
    }
    return root;
}

std::string Tool(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const fs::path candidate = fs::path(folder) / name;
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec) && access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
    }
    return {};
}

Result RunTool(const std::string& name, const std::vector<std::string>& args) {
    Result r;
    const std::string tool = Tool(name);
    if (tool.empty()) {
        r.output = name + " is not installed (scripts/setup installs it)";
        return r;
    }
    std::vector<std::string> argv{tool};
    argv.insert(argv.end(), args.begin(), args.end());
    r.code = Run(argv, &r.output, std::chrono::seconds(300));
    return r;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string ManPageText(const std::string& gzipped) {
    std::string text = RunTool("gzip", {"-dc", gzipped}).output;
    for (std::size_t at; (at = text.find("\\-")) != std::string::npos;) text.erase(at, 1);
    return text;
}

}  // namespace vtest::package
