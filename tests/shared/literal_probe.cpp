// Prints one encoded literal; the test looks for its plain form in this binary.
#include <cstdio>

#include "shared/Literal.h"

int main() {
    std::puts(VL("Probe literal: plain text must not be in the binary").c_str());
    return 0;
}
