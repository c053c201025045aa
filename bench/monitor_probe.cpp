// Prints the monitors Windows (here: Wine) reports, for checking the layouts scripts/multi-monitor
// sets up. "monitor_probe" prints once; "monitor_probe watch SECONDS" prints again on every
// WM_DISPLAYCHANGE a hidden window gets; "monitor_probe reset" has Wine read the monitors again (it
// does so only when display settings are changed) and tell every window; "monitor_probe foreground"
// shows a window, brings it to the front and says whether it got there.
#include <windows.h>

#include <initguid.h>
#include <shobjidl.h>

#include <cstdio>
#include <cwchar>
#include <initializer_list>

namespace {

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(monitor, &info);
    const RECT& r = info.rcMonitor;
    const RECT& w = info.rcWork;
    wprintf(L"monitor %ls %ld,%ld-%ld,%ld (%ldx%ld) work %ld,%ld-%ld,%ld%ls\n", info.szDevice, r.left, r.top,
            r.right, r.bottom, r.right - r.left, r.bottom - r.top, w.left, w.top, w.right, w.bottom,
            (info.dwFlags & MONITORINFOF_PRIMARY) ? L" primary" : L"");
    return TRUE;
}

void PrintLayout() {
    EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
    wprintf(L"monitors %d virtual %d,%d %dx%d\n", GetSystemMetrics(SM_CMONITORS),
            GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    fflush(stdout);
}

// Whether the shell's per-monitor wallpaper object exists, and what it says of the monitors.
void PrintDesktopWallpaper() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IDesktopWallpaper* wallpaper = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_DesktopWallpaper, nullptr, CLSCTX_ALL, IID_IDesktopWallpaper,
                                  reinterpret_cast<void**>(&wallpaper));
    wprintf(L"DesktopWallpaper CoCreateInstance 0x%08lx\n", static_cast<unsigned long>(hr));
    if (SUCCEEDED(hr)) {
        UINT count = 0;
        hr = wallpaper->GetMonitorDevicePathCount(&count);
        wprintf(L"DesktopWallpaper monitors 0x%08lx %u\n", static_cast<unsigned long>(hr), count);
        for (UINT i = 0; i < count; i++) {
            LPWSTR id = nullptr;
            RECT r{};
            wallpaper->GetMonitorDevicePathAt(i, &id);
            wallpaper->GetMonitorRECT(id, &r);
            wprintf(L"  %ls %ld,%ld-%ld,%ld\n", id ? id : L"(none)", r.left, r.top, r.right, r.bottom);
            CoTaskMemFree(id);
        }
        wallpaper->Release();
    }
    CoUninitialize();
    fflush(stdout);
}

LRESULT CALLBACK WatchProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DISPLAYCHANGE) {
        wprintf(L"WM_DISPLAYCHANGE %ux%u bpp %u\n", LOWORD(lp), HIWORD(lp), static_cast<unsigned>(wp));
        PrintLayout();
    }
    return DefWindowProcW(h, msg, wp, lp);
}

HWND MakeWindow(const wchar_t* name, DWORD style) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WatchProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MonitorProbe";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, name, style, 100, 100, 400, 300, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

// Pumps messages for the given time.
void Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    MSG m;
    for (DWORD now = GetTickCount(); static_cast<int>(end - now) > 0; now = GetTickCount()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&m);
    }
}

int Foreground() {
    HWND other = MakeWindow(L"probe other", WS_OVERLAPPEDWINDOW);
    HWND window = MakeWindow(L"probe window", WS_OVERLAPPEDWINDOW);
    ShowWindow(other, SW_SHOW);
    ShowWindow(window, SW_SHOW);
    Pump(300);
    bool ok = true;
    for (HWND target : {other, window}) {
        BOOL set = SetForegroundWindow(target);
        Pump(300);
        RECT r{};
        GetWindowRect(target, &r);
        bool front = GetForegroundWindow() == target;
        wprintf(L"SetForegroundWindow %d visible %d foreground %d active %d rect %ld,%ld-%ld,%ld\n", set,
                IsWindowVisible(target), front, GetActiveWindow() == target, r.left, r.top, r.right,
                r.bottom);
        ok = ok && set && front && IsWindowVisible(target);
    }
    DestroyWindow(window);
    DestroyWindow(other);
    return ok ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && wcscmp(argv[1], L"foreground") == 0) return Foreground();
    if (argc > 1 && wcscmp(argv[1], L"reset") == 0) {
        LONG result = ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
        wprintf(L"ChangeDisplaySettingsEx %ld\n", result);
        PrintLayout();
        return result == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
    }
    PrintLayout();
    if (argc > 2 && wcscmp(argv[1], L"watch") == 0) {
        MakeWindow(L"probe", WS_OVERLAPPEDWINDOW); // hidden; top-level windows get WM_DISPLAYCHANGE
        wprintf(L"watching\n");
        fflush(stdout);
        Pump(static_cast<DWORD>(_wtoi(argv[2])) * 1000);
        return 0;
    }
    PrintDesktopWallpaper();
    return 0;
}
