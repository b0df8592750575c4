// What the native benchmarks print of their runs: milliseconds, and the
// median and worst of a series.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace vt::bench {

template <typename Duration>
double Ms(Duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Stats {
    double median, worst;
};

inline Stats Summarise(std::vector<double> v) {
    if (v.empty()) return {0, 0};
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

}  // namespace vt::bench
