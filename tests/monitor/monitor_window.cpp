#include "tests/monitor/monitor_window.h"

#include "monitor/shell_notify.h"

#include <richedit.h>

namespace test {

MonitorWindow::MonitorWindow(bool visible) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &OwnProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"TavolinMonitorTest";
    RegisterClassW(&wc);
    hwnd_ =
        CreateWindowExW(0, wc.lpszClassName, L"Tavolin(Quorvel)－V1.5", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        40, 40, 700, 420, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    NONCLIENTMETRICSW ncm{sizeof ncm};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    static HFONT font = CreateFontIndirectW(&ncm.lfMessageFont);
    page = std::make_unique<monitor::MonitorPage>();
    page->Build(hwnd_, ui::IDC_Page2, font, 96);
    RECT r;
    GetClientRect(hwnd_, &r);
    SetWindowPos(page->hwnd(), nullptr, 0, 0, r.right, r.bottom, SWP_NOZORDER | SWP_SHOWWINDOW);
    page->Layout(r.right * 15 - 180, r.bottom * 15 - 180, 96);
    if (visible) {
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        UpdateWindow(hwnd_);
    }
}

MonitorWindow::~MonitorWindow() {
    page.reset();
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

LRESULT CALLBACK MonitorWindow::OwnProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<MonitorWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
        if (msg == monitor::WM_SHELLNOTIFY) ++self->notificationsSeen;
        if (msg == WM_NCDESTROY) self->ncDestroySeen = true;
        // The buttons' clicks come up through the page, as in the main window.
        if (msg == WM_COMMAND && self->page &&
            self->page->OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)))
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

std::wstring LogText(HWND richEdit) {
    GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
    auto n =
        static_cast<size_t>(SendMessageW(richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    std::wstring text(n + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>((n + 1) * sizeof(wchar_t)), GT_USECRLF, 1200, nullptr, nullptr};
    auto got = SendMessageW(richEdit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                            reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

void Pump(DWORD ms, const std::function<bool()>& done, const std::function<void(const MSG&)>& onMessage) {
    ULONGLONG end = GetTickCount64() + ms;
    while (!(done && done())) {
        ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (onMessage) onMessage(m);
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
}

} // namespace test
