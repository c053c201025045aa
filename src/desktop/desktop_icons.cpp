#include "desktop/desktop_icons.h"

#include <exception>

namespace desktop {
namespace {

HWND ViewUnder(HWND parent) { return parent ? FindWindowExW(parent, nullptr, L"ShellDll_DefView", nullptr) : nullptr; }

HWND ViewUnderWorkerWChildren(HWND parent) {
    for (HWND w = FindWindowExW(parent, nullptr, L"WorkerW", nullptr); w;
         w = FindWindowExW(parent, w, L"WorkerW", nullptr))
        if (HWND view = ViewUnder(w)) return view;
    return nullptr;
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS*) {
    ShowDesktopIcons();
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

HWND FindDesktopView() {
    HWND progman = FindWindowW(L"Progman", nullptr);
    if (HWND view = ViewUnder(progman)) return view;
    if (progman)
        if (HWND view = ViewUnderWorkerWChildren(progman)) return view;
    return ViewUnderWorkerWChildren(nullptr); // top-level WorkerW windows
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

void InstallCrashGuard() {
    SetUnhandledExceptionFilter(&OnCrash);
    std::set_terminate([] {
        ShowDesktopIcons();
        std::abort();
    });
}

} // namespace desktop
