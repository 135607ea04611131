// A stand-in print helper for the dispatcher's real-launch test: it reads its job argument,
// reports itself active, checks the document and the environment, and reports the outcome.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "shared/modJob.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;  // the job argument comes as one argument
    const std::string arg = argv[1];
    const auto at = arg.find('@');
    if (at == std::string::npos) return 3;
    const std::string id = arg.substr(0, at);
    std::string path = arg.substr(at + 1);
    std::erase(path, '"');
    modJob::WriteJobRecord(modJob::Status().active + std::to_string(getpid()), id);
    if (std::getenv("LPDEST") || std::getenv("PRINTER")) {
        modJob::WriteJobRecord(modJob::Status().failed + "LPDEST or PRINTER set", id);
        return 1;
    }
    if (!std::ifstream(path)) {
        modJob::WriteJobRecord(modJob::Status().failed + "no document " + path, id);
        return 1;
    }
    modJob::WriteJobRecord(modJob::Status().done, id);
    return 0;
}
