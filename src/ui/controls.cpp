#include "ui/controls.h"

namespace ui {

HWND CreateControl(HWND parent, int id, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle) {
    return CreateWindowExW(exStyle, cls, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                           nullptr);
}

void Place(HWND control, const layout::Rect& r, UINT dpi) {
    SetWindowPos(control, nullptr, platform::Twips(r.left, dpi), platform::Twips(r.top, dpi),
                 platform::Twips(r.width, dpi), platform::Twips(r.height, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetFont(HWND control, HFONT font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

} // namespace ui
