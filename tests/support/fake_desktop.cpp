#include "tests/support/fake_desktop.h"

#include <vector>

namespace test {
namespace {

LRESULT CALLBACK Plain(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(h, msg, wp, lp);
}

void Register(const wchar_t* name, WNDPROC proc) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    wc.cbWndExtra = sizeof(void*);
    RegisterClassW(&wc);
}

HWND Make(const wchar_t* cls, HWND parent, void* self = nullptr) {
    DWORD style = WS_VISIBLE | (parent ? WS_CHILD : WS_POPUP);
    HWND h = CreateWindowExW(parent ? 0 : WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, cls, L"", style, 0, 0, 40, 40,
                             parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (self) SetWindowLongPtrW(h, 0, reinterpret_cast<LONG_PTR>(self));
    return h;
}

} // namespace

FakeDesktop::FakeDesktop(Layout layout) {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, layout] { Run(layout); });
    WaitForSingleObject(ready_, INFINITE);
}

FakeDesktop::~FakeDesktop() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    CloseHandle(ready_);
}

LRESULT CALLBACK FakeDesktop::ViewProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SHOWWINDOW && lp == 0) // not a parent's minimise or restore
        if (auto* self = reinterpret_cast<FakeDesktop*>(GetWindowLongPtrW(h, 0)))
            ++(wp ? self->shows_ : self->hides_);
    return DefWindowProcW(h, msg, wp, lp);
}

void FakeDesktop::Run(Layout layout) {
    threadId_ = GetCurrentThreadId();
    Register(L"Progman", Plain);
    Register(L"WorkerW", Plain);
    Register(L"SHELLDLL_DefView", ViewProc);
    std::vector<HWND> tops;
    progman_ = Make(L"Progman", nullptr);
    tops.push_back(progman_);
    switch (layout) {
    case Layout::ViewUnderProgman:
        view_ = Make(L"SHELLDLL_DefView", progman_, this);
        break;
    case Layout::ViewUnderWorkerWChild:
        Make(L"WorkerW", progman_);
        view_ = Make(L"SHELLDLL_DefView", Make(L"WorkerW", progman_), this);
        break;
    case Layout::ViewUnderTopLevelWorkerW: {
        // Windows keeps several top-level WorkerW windows; only one holds the view.
        HWND empty = Make(L"WorkerW", nullptr);
        HWND worker = Make(L"WorkerW", nullptr);
        SetWindowPos(empty, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        view_ = Make(L"SHELLDLL_DefView", worker, this);
        tops.push_back(empty);
        tops.push_back(worker);
        break;
    }
    }
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue exists before anyone posts
    SetEvent(ready_);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    for (HWND h : tops)
        DestroyWindow(h);
}

} // namespace test
