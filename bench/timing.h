// The clock and the median that every benchmark program reports with.
#pragma once
#include "platform/win.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
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

// The yardstick for folder sizes: every file of the tree found once, its size added (and counted
// in `files` when given).
inline uint64_t BareWalk(const std::wstring& folder, size_t* files = nullptr) {
    uint64_t bytes = 0;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L".."))
                bytes += BareWalk(folder + L"\\" + fd.cFileName, files);
        } else {
            bytes += (uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
            if (files) ++*files;
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return bytes;
}

} // namespace bench
