#include "platform/window.h"

namespace platform {

Window::~Window() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Window::RegisterClass(const wchar_t* name, HICON icon, HBRUSH background, UINT style) {
    WNDCLASSEXW wc{sizeof wc};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &wc)) return;
    wc = WNDCLASSEXW{sizeof wc};
    wc.style = style;
    wc.lpfnWndProc = &Window::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

bool Window::Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                    int w, int h, HWND parent, HMENU idOrMenu) {
    return CreateWindowExW(exStyle, className, title, style, x, y, w, h, parent, idOrMenu,
                           GetModuleHandleW(nullptr), this) != nullptr;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        LRESULT r = self->HandleMessage(msg, wp, lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyed();
        return r;
    }
    return self->HandleMessage(msg, wp, lp);
}

bool Panel::Create(HWND parent, int id) {
    RegisterClass(L"TavolinPanel", nullptr, GetSysColorBrush(COLOR_BTNFACE));
    return Window::Create(L"TavolinPanel", L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                          WS_EX_CONTROLPARENT, 0, 0, 10, 10, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CONTEXTMENU:
    case WM_VKEYTOITEM:
        return SendMessageW(GetParent(hwnd()), msg, wp, lp);
    }
    return Window::HandleMessage(msg, wp, lp);
}

} // namespace platform
