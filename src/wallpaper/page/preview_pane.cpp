#include "wallpaper/page/preview_pane.h"

namespace wallpaper {

bool PreviewPane::Create(HWND parent, int id) {
    RegisterClass(L"TavolinPreview", nullptr, nullptr);
    return Window::Create(L"TavolinPreview", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CLIENTEDGE,
                          0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void PreviewPane::Show(platform::UniqueGdi preview, PixelSize full) {
    shown_ = std::move(preview); // the old picture's bitmap goes with it
    BITMAP bm{};
    if (shown_) GetObjectW(shown_.get(), sizeof bm, &bm);
    made_ = {bm.bmWidth, bm.bmHeight};
    full_ = full;
    Fit();
}

bool PreviewPane::Fit() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    std::optional<Placement> p =
        FitPicture(static_cast<float>(client.right), static_cast<float>(client.bottom),
                   static_cast<float>(full_.width), static_cast<float>(full_.height));
    InvalidateRect(hwnd(), nullptr, FALSE);
    if (!p) {
        shown_.reset();
        return false;
    }
    place_ = ToPixels(*p);
    return !shown_ || made_.width != place_.width || made_.height != place_.height;
}

void PreviewPane::Release() {
    shown_.reset();
    made_ = {};
}

std::optional<PixelRect> PreviewPane::Shown() const {
    if (!shown_) return std::nullopt;
    return place_;
}

void PreviewPane::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT client;
    GetClientRect(hwnd(), &client);
    if (shown_) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, shown_.get());
        if (made_.width == place_.width && made_.height == place_.height) {
            BitBlt(dc, place_.left, place_.top, place_.width, place_.height, mem, 0, 0, SRCCOPY);
        } else {
            // Made for the size before a resize: stretched until the picture for this size comes.
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, place_.left, place_.top, place_.width, place_.height, mem, 0, 0, made_.width,
                       made_.height, SRCCOPY);
        }
        SelectObject(mem, old);
        DeleteDC(mem);
        // The background goes only around the picture, so nothing flickers.
        ExcludeClipRect(dc, place_.left, place_.top, place_.left + place_.width, place_.top + place_.height);
    }
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    EndPaint(hwnd(), &ps);
}

LRESULT PreviewPane::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

} // namespace wallpaper
