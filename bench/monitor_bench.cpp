// The change log's cost per entry as it grows: 20,000 notifications, each a distinct entry, sent
// to a shown window that monitors; the median cost of the last 1,000 beside that of the first
// 1,000, entries per second, and the memory the log takes beside the size of its text. For
// contrast, what one search of the whole log's text costs at the end.
#include "monitor/shell_notify.h"
#include "tests/monitor/monitor_window.h"

#include <algorithm>
#include <cstdio>
#include <psapi.h>
#include <shlobj.h>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double PrivateMb() {
    PROCESS_MEMORY_COUNTERS_EX m{sizeof m};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
    return double(m.PrivateUsage) / (1024.0 * 1024.0);
}

void Drain() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

} // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    constexpr int Entries = 20000, Window = 1000;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::vector<monitor::UniqueIdList> items;
    items.reserve(Entries);
    for (int i = 0; i < Entries; ++i)
        items.emplace_back(SHSimpleIDListFromPath(
            (std::wstring(temp) + L"tavolin-bench\\新建文件夹\\entry " + std::to_wstring(i) + L".txt").c_str()));

    test::MonitorWindow w(true);
    Drain();
    w.page->Command7_Click();
    double before = PrivateMb();

    std::vector<double> cost(Entries);
    double start = Now();
    for (int i = 0; i < Entries; ++i) {
        const void* pair[2] = {items[i].get(), nullptr};
        double t0 = Now();
        SendMessageW(w.hwnd(), monitor::WM_SHELLNOTIFY, reinterpret_cast<WPARAM>(pair), SHCNE_CREATE);
        Drain(); // the window repaints and flashes as it would in the program
        cost[i] = Now() - t0;
    }
    double total = Now() - start;
    double after = PrivateMb();

    std::wstring log = test::LogText(w.page->RichTextBox1);
    size_t logged = 0;
    for (size_t at = log.find(L"SHCNE_CREATE"); at != std::wstring::npos; at = log.find(L"SHCNE_CREATE", at + 1))
        ++logged;

    // What the duplicate test would cost if it searched the log's text instead.
    double s0 = Now();
    std::wstring whole = test::LogText(w.page->RichTextBox1);
    CharLowerBuffW(whole.data(), static_cast<DWORD>(whole.size()));
    volatile bool found = whole.find(L"[no such entry]") != std::wstring::npos;
    (void)found;
    double scan = Now() - s0;

    double first = Median({cost.begin(), cost.begin() + Window});
    double last = Median({cost.end() - Window, cost.end()});
    double textMb = double(log.size() * sizeof(wchar_t)) / (1024.0 * 1024.0);
    std::printf("entries logged:                  %zu of %d\n", logged, Entries);
    std::printf("median cost, first %d:          %.1f us\n", Window, first * 1e6);
    std::printf("median cost, last %d:           %.1f us\n", Window, last * 1e6);
    std::printf("last / first:                    %.2f\n", last / first);
    std::printf("entries per second:              %.0f\n", Entries / total);
    std::printf("log text (UTF-16):               %.1f MB (%zu characters)\n", textMb, log.size());
    std::printf("memory taken by the log:         %.1f MB (%.1f x its text)\n", after - before,
                (after - before) / textMb);
    std::printf("one search of the whole log:     %.1f us (%.0f x a median entry at the end)\n", scan * 1e6,
                scan / last);
    w.page->Command9_Click();
    return logged == Entries ? 0 : 1;
}
