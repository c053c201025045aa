#include "wallpaper/preview_pane.h"

namespace wallpaper {

bool PreviewPane::Create(HWND parent, int id) {
    RegisterClass(L"TavolinPreview", nullptr, nullptr);
    return Window::Create(L"TavolinPreview", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CLIENTEDGE,
                          0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void PreviewPane::SetPicture(Picture picture) {
    shown_.reset(); // the old picture's preview goes with it
    picture_ = std::make_shared<const Picture>(std::move(picture));
}

void PreviewPane::Show(std::shared_ptr<const Picture> picture, platform::UniqueGdi preview) {
    shown_ = std::move(preview); // the old picture's preview goes with it
    BITMAP bm{};
    if (shown_) GetObjectW(shown_.get(), sizeof bm, &bm);
    place_.width = bm.bmWidth;
    place_.height = bm.bmHeight;
    picture_ = std::move(picture);
    Fit(); // reuses the preview when the pane still has the size it was made for
}

void PreviewPane::Fit() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    std::optional<Placement> p;
    if (picture_)
        p = FitPicture(static_cast<float>(client.right), static_cast<float>(client.bottom),
                       static_cast<float>(picture_->FullWidth()), static_cast<float>(picture_->FullHeight()));
    if (!p) {
        shown_.reset();
    } else {
        PixelRect r = ToPixels(*p);
        // A layout that leaves the size as it was reuses the reduced picture.
        if (!shown_ || r.width != place_.width || r.height != place_.height) {
            shown_.reset();
            shown_ = PreviewBitmap(*picture_, r.width, r.height);
        }
        place_ = r;
    }
    InvalidateRect(hwnd(), nullptr, FALSE);
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
        BitBlt(dc, place_.left, place_.top, place_.width, place_.height, mem, 0, 0, SRCCOPY);
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
