#include "monitor/sub_class.h"

#include "core/identity.h"
#include "monitor/shell_notify.h"

#include <cwchar>
#include <string>

namespace monitor {
namespace {

constexpr wchar_t OldWndProcName[] = L"OldWndProc";
constexpr wchar_t SinkName[] = L"TavolinNotificationSink";

// The handle in upper-case hexadecimal without leading zeros.
std::wstring Hex(HWND window) {
    wchar_t text[24];
    swprintf(text, 24, L"%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

bool Refuse(HWND window) {
    MessageBoxW(IsWindow(window) ? window : nullptr,
                (L"Unable to successfully subclass &H" + Hex(window)).c_str(), core::ApplicationTitle,
                MB_OK | MB_ICONERROR);
    return false;
}

} // namespace

bool SubClass(HWND window, NotificationSink* sink) {
    if (GetPropW(window, OldWndProcName)) return Refuse(window);
    LONG_PTR previous = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProc));
    if (!previous) return Refuse(window);
    if (SetPropW(window, OldWndProcName, reinterpret_cast<HANDLE>(previous)) &&
        SetPropW(window, SinkName, static_cast<HANDLE>(sink)))
        return true;
    RemovePropW(window, OldWndProcName);
    RemovePropW(window, SinkName);
    SetWindowLongPtrW(window, GWLP_WNDPROC, previous);
    return Refuse(window);
}

bool UnSubClass(HWND window) {
    HANDLE saved = GetPropW(window, OldWndProcName);
    if (!saved) return false;
    if (!RemovePropW(window, OldWndProcName)) return false;
    RemovePropW(window, SinkName);
    return SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved)) != 0;
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto saved = reinterpret_cast<WNDPROC>(GetPropW(hwnd, OldWndProcName));
    if (msg == WM_NCDESTROY) {
        // Destroyed while still subclassed: whoever subclassed it forgot to stop.
        UnSubClass(hwnd);
        MessageBoxW(nullptr, (L"Unubclassed &H" + Hex(hwnd)).c_str(), L"WndProc Error", MB_OK | MB_ICONERROR);
    } else if (msg == WM_SHELLNOTIFY) {
        if (auto* sink = static_cast<NotificationSink*>(GetPropW(hwnd, SinkName))) {
            try {
                sink->NotificationReceipt(wp, lp);
            } catch (...) {
                // Out of memory for one entry: the entry is lost, the window goes on.
            }
        }
    }
    return saved ? CallWindowProcW(saved, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace monitor
