// Start-up time: from CreateProcess until the main window is shown, painted and answering and the tray icon
// is in place,
// for Quorvel.exe and, side by side in the same run, for a minimal tray program.
#include "bench/timing.h"
#include "tests/e2e/driver.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::Median;

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

// Starts `exe` and waits for a visible window of `cls` with a tray icon; closes it afterwards.
double StartOnce(const std::wstring& exe, const std::wstring& cwd, const std::wstring& cls, bool quitByMenu) {
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::wstring line = L"\"" + exe + L"\"";
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi))
        return -1;
    // Polled every millisecond (the drivers' usual 50 ms would round every start-up up to that step).
    HWND main = nullptr;
    for (ULONGLONG end = GetTickCount64() + 30000; GetTickCount64() < end; Sleep(1)) {
        auto w = e2e::TopLevelWindows(pi.dwProcessId, cls);
        main = w.empty() ? nullptr : w.front();
        DWORD_PTR answer;
        if (main && IsWindowVisible(main) && !GetUpdateRect(main, nullptr, FALSE) && e2e::HasTrayIcon(main) &&
            SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer))
            break;
        main = nullptr;
    }
    QueryPerformanceCounter(&t1);
    if (main) PostMessageW(main, quitByMenu ? WM_COMMAND : WM_CLOSE, quitByMenu ? 1032 : 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return main ? Seconds(t0, t1) : -1;
}

} // namespace

int main() {
    e2e::ProgramFolder folder;
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring bin = self;
    bin.resize(bin.rfind(L'\\'));
    std::vector<double> tavolin, reference, platform;
    const int runs = 15;
    for (int i = 0; i < runs; ++i) {
        reference.push_back(
            StartOnce(bin + L"\\reference_app.exe", folder.path(), L"TavolinReferenceApp", false));
        platform.push_back(
            StartOnce(bin + L"\\reference_platform_app.exe", folder.path(), L"TavolinReferenceApp", false));
        tavolin.push_back(StartOnce(folder.exe(), folder.path(), L"TavolinMainWindow", true));
    }
    double t = Median(tavolin), r = Median(reference), p = Median(platform);
    std::printf("start-up, median of %d: Quorvel.exe %.3f s, minimal tray program %.3f s, ratio %.2f\n", runs,
                t, r, t / r);
    std::printf("  the minimal tray program with common controls 6 and OLE: %.3f s (%.2f of the minimal)\n", p,
                p / r);
    return 0;
}
