// The clock and the median that every benchmark program reports with.
#pragma once
#include "platform/win.h"

#include <algorithm>
#include <vector>

namespace bench {

// Seconds on the performance counter.
inline double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(f.QuadPart);
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace bench
