#include "services/convertd/Results.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "services/convertd/ConvertTexts.h"

namespace vellora::convertd {
namespace fs = std::filesystem;

std::string NewToken() {
    std::ifstream random(VL("/dev/urandom"), std::ios::binary);
    unsigned char bytes[16] = {};
    random.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    if (random.gcount() != sizeof bytes) {
        std::random_device rd;
        for (auto& b : bytes) b = static_cast<unsigned char>(rd());
    }
    static const char* hex = "0123456789abcdef";
    std::string token;
    for (unsigned char b : bytes) {
        token += hex[b >> 4];
        token += hex[b & 15];
    }
    return token;
}

std::vector<std::string> PublishPages(const std::vector<std::string>& pages,
                                      const std::string& resultsDir, const std::string& token) {
    std::vector<std::string> names;
    const std::string format = texts::kPageFormat.str();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, format.c_str(), static_cast<int>(i + 1));
        const std::string name = token + suffix;
        const std::string target = resultsDir + "/" + name;
        const std::string partial = resultsDir + "/." + name;
        std::error_code ec;
        fs::rename(pages[i], target, ec);
        if (ec) {
            // Another file system: copy under a hidden name, then rename into place.
            ec.clear();
            fs::copy_file(pages[i], partial, fs::copy_options::overwrite_existing, ec);
            if (!ec) fs::rename(partial, target, ec);
        }
        if (ec) {
            fs::remove(partial, ec);
            for (const auto& done : names) fs::remove(resultsDir + "/" + done, ec);
            return {};
        }
        names.push_back(name);
    }
    return names;
}

bool IsResultName(const std::string& name) {
    if (name.size() != 32 + 8) return false;
    for (std::size_t i = 0; i < 32; ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    if (name[32] != '-') return false;
    for (std::size_t i = 33; i < 36; ++i) {
        if (name[i] < '0' || name[i] > '9') return false;
    }
    return name.substr(36) == VL(".png");
}

int RemoveOlderThan(const std::string& folder, std::chrono::seconds maxAge) {
    int removed = 0;
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        std::error_code e2;
        const auto changed = fs::last_write_time(entry.path(), e2);
        if (e2 || now - changed < maxAge) continue;
        removed += fs::remove_all(entry.path(), e2) > 0;
    }
    return removed;
}

}  // namespace vellora::convertd
