// Launches one command line the way the dispatcher does, prints the child's process id and
// leaves at once, so the test can see the child outlive its parent.
#include <cstdio>

#include "platform/shell/Module1.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const pid_t pid = Module1::LaunchProgram(argv[1]);
    std::printf("%d\n", static_cast<int>(pid));
    return pid > 0 ? 0 : 1;
}
