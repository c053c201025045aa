#include "wallpaper/choosing/pause_state.h"

#include <shellapi.h>

namespace wallpaper {
namespace {

BOOL(WINAPI* readPowerStatus)(SYSTEM_POWER_STATUS*) = &GetSystemPowerStatus;

bool IsShellWindow(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, ARRAYSIZE(name));
    for (const wchar_t* shell : {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd"})
        if (wcscmp(name, shell) == 0) return true;
    return false;
}

} // namespace

bool FullScreenNow(HWND ours) {
    // Not trusted alone: the "busy" state has been seen stuck on some machines.
    QUERY_USER_NOTIFICATION_STATE state{};
    if (SUCCEEDED(SHQueryUserNotificationState(&state)) &&
        (state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE))
        return true;
    HWND front = GetForegroundWindow();
    if (!front || !IsWindowVisible(front) || IsIconic(front) || IsShellWindow(front)) return false;
    DWORD process = 0, ourProcess = 0;
    GetWindowThreadProcessId(front, &process);
    GetWindowThreadProcessId(ours, &ourProcess);
    if (process == ourProcess) return false;
    MONITORINFO monitor{sizeof monitor};
    RECT r{};
    if (!GetMonitorInfoW(MonitorFromWindow(front, MONITOR_DEFAULTTONULL), &monitor) ||
        !GetWindowRect(front, &r))
        return false;
    const RECT& m = monitor.rcMonitor;
    return r.left <= m.left && r.top <= m.top && r.right >= m.right && r.bottom >= m.bottom;
}

bool OnBattery() {
    SYSTEM_POWER_STATUS status{};
    if (!readPowerStatus(&status)) return false;
    // The fourth byte is SystemStatusFlag since Windows 10 (older headers call it Reserved1): 1 while
    // battery saver is on.
    const BYTE saver = reinterpret_cast<const BYTE*>(&status)[3];
    return status.ACLineStatus == 0 || (saver & 1);
}

void UsePowerStatus(BOOL(WINAPI* read)(SYSTEM_POWER_STATUS*)) {
    readPowerStatus = read ? read : &GetSystemPowerStatus;
}

} // namespace wallpaper
