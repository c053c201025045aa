// The least a tray program does at start: one window, shown, and one notification icon.
// The start-up benchmark starts it beside Quorvel.exe to have a yardstick measured in the same run.
// Built a second time with the program's manifest, common controls and OLE, it shows what those cost.
// For the idle benchmark (bench/idle_switches.sh): "hidden" keeps its window hidden; "close CLASS" only
// posts WM_CLOSE to the window of that class (Quorvel.exe then hides in the tray) and "pointer" puts the
// pointer in the screen's bottom-left corner, away from every window, and "post CLASS MSG WPARAM" posts
// that message to the window of that class, then each ends at once.
#include "platform/win.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR line, int) {
    const std::wstring command = line ? line : L"";
    if (command.rfind(L"close ", 0) == 0) {
        HWND target = FindWindowW(command.substr(6).c_str(), nullptr);
        return target && PostMessageW(target, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command.rfind(L"post ", 0) == 0) {
        const size_t a = command.find(L' ', 5), b = command.find(L' ', a + 1);
        HWND target = FindWindowW(command.substr(5, a - 5).c_str(), nullptr);
        UINT msg = std::stoul(command.substr(a + 1, b - a - 1), nullptr, 0);
        WPARAM wp = std::stoull(command.substr(b + 1), nullptr, 0);
        return target && PostMessageW(target, msg, wp, 0) ? 0 : 1;
    }
    if (command == L"pointer") return SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1) ? 0 : 1;
#ifdef TAVOLIN_REFERENCE_PLATFORM
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
#endif
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcW(h, m, w, l);
    };
    wc.hInstance = instance;
    wc.lpszClassName = L"TavolinReferenceApp";
    RegisterClassW(&wc);
    HWND w = CreateWindowW(L"TavolinReferenceApp", L"reference", WS_OVERLAPPEDWINDOW, 100, 100, 640, 320,
                           nullptr, nullptr, instance, nullptr);
    if (command != L"hidden") ShowWindow(w, SW_SHOW);
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = w;
    nid.uFlags = NIF_ICON | NIF_MESSAGE;
    nid.uCallbackMessage = WM_APP;
    nid.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    Shell_NotifyIconW(NIM_ADD, &nid);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    Shell_NotifyIconW(NIM_DELETE, &nid);
    return 0;
}
