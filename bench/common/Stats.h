// Figures over repeated rounds of the end-to-end timing benchmarks.
#pragma once

#include <algorithm>
#include <vector>

namespace vbench {

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// On a shared machine the fastest round is the one least disturbed by others: the fixed cost a
// helper adds shows best there.
inline double Fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

}  // namespace vbench
