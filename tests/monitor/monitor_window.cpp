#include "tests/monitor/monitor_window.h"

#include "monitor/shell_notify.h"

#include <commctrl.h>

#include <vector>

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

std::wstring LogText(HWND log) {
    std::wstring text;
    const int rows = ListView_GetItemCount(log);
    std::vector<wchar_t> line(32768);
    for (int i = 0; i < rows; ++i) {
        line[0] = L'\0';
        ListView_GetItemText(log, i, 0, line.data(), static_cast<int>(line.size()));
        text += line.data();
        text += L"\r\n";
    }
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
