// Started by the launch test: writes how it was started (arguments, session, the printer
// variables), waits until the test says go (its parent is gone by then), then writes done.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    const char* folder = std::getenv("OUTLIVE_FOLDER");
    if (!folder) return 2;
    const std::string dir = folder;
    {
        std::ofstream out(dir + "/started.tmp");
        out << "argc=" << argc << "\n";
        for (int i = 1; i < argc; ++i) out << "arg=" << argv[i] << "\n";
        out << "pid=" << getpid() << "\nsid=" << getsid(0) << "\n";
        out << "LPDEST=" << (std::getenv("LPDEST") ? "set" : "unset") << "\n";
        out << "PRINTER=" << (std::getenv("PRINTER") ? "set" : "unset") << "\n";
        out << "KEEP=" << (std::getenv("OUTLIVE_KEEP") ? std::getenv("OUTLIVE_KEEP") : "") << "\n";
    }
    std::rename((dir + "/started.tmp").c_str(), (dir + "/started").c_str());
    for (int i = 0; i < 3000 && access((dir + "/go").c_str(), F_OK) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ofstream(dir + "/done") << getppid() << "\n";
    return 0;
}
