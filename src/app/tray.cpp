#include "app/tray.h"

#include "core/identity.h"

#include <shellapi.h>
#include <windowsx.h>

#include <utility>

namespace app {
namespace {

struct TrayState {
    HWND window = nullptr;
    HMENU menu = nullptr;
    WNDPROC previous = nullptr;
    NOTIFYICONDATAW record{};
    bool added = false;
    // A right button release opened the menu: the shell's WM_CONTEXTMENU that follows it at once (or
    // while the menu is open) is the same request, skipped until this moment (GetTickCount64).
    ULONGLONG skipContextMenuUntil = 0;
};
TrayState tray;

HICON WindowIcon(HWND hwnd) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, GCLP_HICONSM));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, GCLP_HICON));
    return icon;
}

bool AddIcon() {
    tray.record.uFlags = NIF_MESSAGE | NIF_ICON | (tray.record.szTip[0] ? NIF_TIP : 0);
    tray.added = Shell_NotifyIconW(NIM_ADD, &tray.record) != FALSE;
    // Version 4 also reports the keyboard: Enter or Space on the icon, and its menu key.
    tray.record.uVersion = NOTIFYICON_VERSION_4;
    if (!tray.added || !Shell_NotifyIconW(NIM_SETVERSION, &tray.record)) tray.record.uVersion = 0;
    return tray.added;
}

} // namespace

void ShowMainWindow(HWND window) {
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
}

bool AddTrayIcon(HWND window, HMENU menu) {
    tray.window = window;
    tray.menu = menu;
    tray.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrayWindowProc)));
    tray.record = NOTIFYICONDATAW{};
    tray.record.cbSize = sizeof(NOTIFYICONDATAW);
    tray.record.hWnd = window;
    tray.record.uID = 0;
    tray.record.hIcon = WindowIcon(window);
    tray.record.uCallbackMessage = TRAY_CALLBACK_MESSAGE;
    return AddIcon();
}

bool SetTrayTipLines(const std::wstring (&lines)[3]) {
    std::wstring tip = core::ApplicationTitle;
    for (const std::wstring& line : lines)
        if (!line.empty()) tip += L"\n" + line;
    return SetTrayTip(tip);
}

bool SetTrayTip(const std::wstring& tip) {
    lstrcpynW(tray.record.szTip, tip.c_str(), ARRAYSIZE(tray.record.szTip));
    tray.record.uFlags = NIF_TIP;
    return Shell_NotifyIconW(NIM_MODIFY, &tray.record) != FALSE;
}

std::wstring TrayTip() {
    return tray.record.szTip;
}

bool RestoreTrayIcon() {
    if (!tray.window) return false;
    return AddIcon();
}

void RemoveTrayIcon() {
    if (!tray.window) return;
    tray.record.uFlags = 0;
    Shell_NotifyIconW(NIM_DELETE, &tray.record);
    tray.added = false;
    if (tray.previous)
        SetWindowLongPtrW(tray.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(tray.previous));
    tray.previous = nullptr;
    tray.window = nullptr;
}

static void ShowTrayMenu(HWND hwnd, POINT at, bool byKeyboard) {
    // The owner must be in front, or the menu does not close when the user clicks elsewhere.
    SetForegroundWindow(hwnd);
    TrackPopupMenu(tray.menu, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
    PostMessageW(hwnd, WM_NULL, 0, 0);
    // The keyboard goes back to the notification area; a chosen command that shows a window runs after.
    if (byKeyboard) Shell_NotifyIconW(NIM_SETFOCUS, &tray.record);
}

LRESULT CALLBACK TrayWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == TRAY_CALLBACK_MESSAGE) {
        // Version 4: the event in the low word of lParam, the anchor point in wParam.
        const UINT event = LOWORD(lp);
        switch (event) {
        case WM_LBUTTONUP:
        case NIN_SELECT:
        case NIN_KEYSELECT:
            ShowMainWindow(hwnd);
            return 0;
        case WM_RBUTTONUP: {
            POINT pt;
            GetCursorPos(&pt);
            // Mouse moves over the icon may come while the menu is open: only the shell's
            // WM_CONTEXTMENU that follows this release is skipped, and only for a moment, so that a
            // release without one leaves nothing behind for the menu key.
            const bool follows = tray.record.uVersion == NOTIFYICON_VERSION_4;
            tray.skipContextMenuUntil = follows ? ~ULONGLONG{0} : 0;
            ShowTrayMenu(hwnd, pt, false);
            if (tray.skipContextMenuUntil) tray.skipContextMenuUntil = GetTickCount64() + 500;
            return 0;
        }
        case WM_CONTEXTMENU:
            // Right after a right click it is the same request again.
            if (GetTickCount64() >= std::exchange(tray.skipContextMenuUntil, 0))
                ShowTrayMenu(hwnd, {GET_X_LPARAM(wp), GET_Y_LPARAM(wp)}, true);
            return 0;
        }
    }
    return CallWindowProcW(tray.previous, hwnd, msg, wp, lp);
}

} // namespace app
