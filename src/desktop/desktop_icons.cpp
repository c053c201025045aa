#include "desktop/desktop_icons.h"

#include "desktop/show_desktop_keys.h"

#include <cstdlib>
#include <exception>

namespace desktop {
namespace {

HWND ViewUnder(HWND parent) {
    return parent ? FindWindowExW(parent, nullptr, L"SHELLDLL_DefView", nullptr) : nullptr;
}

// `parent` null: the top-level WorkerW windows.
HWND ViewUnderWorkerW(HWND parent) {
    for (HWND w = FindWindowExW(parent, nullptr, L"WorkerW", nullptr); w;
         w = FindWindowExW(parent, w, L"WorkerW", nullptr))
        if (HWND view = ViewUnder(w)) return view;
    return nullptr;
}

LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

// A dying process must not wait for the shell: the request is queued to the view's thread.
void ShowIconsWithoutWaiting() {
    if (HWND view = FindDesktopView()) ShowWindowAsync(view, SW_SHOW);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    ShowIconsWithoutWaiting();
    return previousFilter ? previousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

HWND FindDesktopView() {
    HWND progman = FindWindowW(L"Progman", nullptr);
    if (HWND view = ViewUnder(progman)) return view;
    if (progman)
        if (HWND view = ViewUnderWorkerW(progman)) return view;
    return ViewUnderWorkerW(nullptr);
}

HWND HideDesktopIcons() {
    HWND view = FindDesktopView();
    if (view) ShowWindow(view, SW_HIDE);
    return view;
}

HWND ShowDesktopIcons() {
    HWND view = FindDesktopView();
    if (view) ShowWindow(view, SW_SHOW);
    return view;
}

void SendShowDesktopKeys() {
    ShowDesktopKeys([](uint8_t vk) { return MapVirtualKeyW(vk, MAPVK_VK_TO_VSC); },
                    [](const KeyEvent& e) { keybd_event(e.vk, e.scan, e.flags, 0); });
}

void InstallCrashGuard() {
    previousFilter = SetUnhandledExceptionFilter(&OnCrash);
    std::set_terminate([] {
        ShowIconsWithoutWaiting();
        std::abort();
    });
}

} // namespace desktop
