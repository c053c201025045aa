#include "ui/tab_page.h"

namespace ui {

HWND TabPage::Add(HWND parent, int id, const wchar_t* cls, const wchar_t* text, DWORD style,
                  layout::Rect rect, DWORD exStyle) {
    HWND h = CreateControl(parent, id, cls, text, style, exStyle);
    bool inFrame = parent == hwnd();
    fixed_.push_back({h, rect, inFrame});
    SetFont(h, font_);
    if (inFrame)
        PlaceInFrame(h, rect, dpi_);
    else
        Place(h, rect, dpi_);
    return h;
}

void TabPage::PlaceInFrame(HWND control, const layout::Rect& r, UINT dpi) const {
    Place(control, Frame.ToPage(r), dpi);
}

void TabPage::Reposition(UINT dpi, HFONT font) {
    dpi_ = dpi;
    font_ = font;
    for (const Fixed& f : fixed_) {
        SetFont(f.hwnd, font);
        if (f.inFrame)
            PlaceInFrame(f.hwnd, f.rect, dpi);
        else
            Place(f.hwnd, f.rect, dpi);
    }
}

} // namespace ui
