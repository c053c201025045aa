// The clock and the median that every benchmark program reports with.
#pragma once
#include "platform/win.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cwchar>
#include <string>
#include <thread>
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

// Sends WM_NULL every 10 ms and keeps the longest wait for the answer.
class Probe {
  public:
    Probe() = default;
    explicit Probe(HWND window) { Start(window); }
    ~Probe() { Stop(); }
    void Start(HWND window) {
        worst_ = 0;
        on_ = true;
        thread_ = std::thread([this, window] {
            while (on_) {
                double t = Now();
                DWORD_PTR r;
                SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &r);
                double waited = (Now() - t) * 1e3;
                if (waited > worst_) worst_ = waited;
                Sleep(10);
            }
        });
    }
    // The longest wait so far, and a new count from here on.
    double Restart() { return worst_.exchange(0); }
    double Stop() {
        on_ = false;
        if (thread_.joinable()) thread_.join();
        return worst_;
    }

  private:
    std::atomic<bool> on_{false};
    std::atomic<double> worst_{0};
    std::thread thread_;
};

} // namespace bench
