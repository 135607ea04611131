// One of several processes hammering one job store at once. Each process owns a few job
// keys: it writes, reads back and deletes them, and reads the other processes' keys and a
// key nobody writes. Any torn, foreign or lost value ends it with exit code 1.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shared/basINI_IO.h"
#include "shared/modJob.h"

namespace {

std::string Value(int worker, int round) {
    const std::string body = "w" + std::to_string(worker) + "r" + std::to_string(round);
    return modJob::Status().active + body + "#" + std::to_string(body.size());
}

// A value of any worker must be whole: the active text, a body, "#" and the body's length.
bool WellFormed(const std::string& v) {
    const std::string& active = modJob::Status().active;
    if (v.rfind(active, 0) != 0) return false;
    const auto hash = v.rfind('#');
    if (hash == std::string::npos) return false;
    const std::string body = v.substr(active.size(), hash - active.size());
    return std::to_string(body.size()) == v.substr(hash + 1);
}

std::string Key(int worker, int slot) {
    return std::to_string(worker) + "00" + std::to_string(slot);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const int worker = std::atoi(argv[1]), workers = std::atoi(argv[2]),
              rounds = std::atoi(argv[3]);
    const std::string missing = basINI_IO::MissingValue();
    for (int r = 0; r < rounds; ++r) {
        const int slot = r % 3;
        const std::string mine = Value(worker, r);
        modJob::WriteJobRecord(mine, Key(worker, slot));
        const std::string back = modJob::ReadJobRecord(Key(worker, slot));
        if (back != mine) {
            std::fprintf(stderr, "worker %d round %d: wrote '%s' read '%s'\n", worker, r,
                         mine.c_str(), back.c_str());
            return 1;
        }
        const int other = (worker + 1 + r) % workers;
        const std::string theirs = modJob::ReadJobRecord(Key(other, r % 3));
        if (theirs != missing && (!WellFormed(theirs) || theirs.find("w" + std::to_string(other) +
                                                                     "r") == std::string::npos)) {
            std::fprintf(stderr, "worker %d read foreign or torn '%s'\n", worker, theirs.c_str());
            return 1;
        }
        if (basINI_IO::ReadSettingText(basINI_IO::SettingsPath(), "General", "Stable") !=
            "constant") {
            std::fprintf(stderr, "worker %d lost the stable key\n", worker);
            return 1;
        }
        if (r % 5 == 4) {
            modJob::DeleteJobRecord(Key(worker, slot));
            if (modJob::ReadJobRecord(Key(worker, slot)) != missing) {
                std::fprintf(stderr, "worker %d: delete did not take\n", worker);
                return 1;
            }
        }
    }
    // Leave one known value per slot for the parent to check.
    for (int slot = 0; slot < 3; ++slot)
        modJob::WriteJobRecord(Value(worker, 1000 + slot), Key(worker, slot));
    return 0;
}
