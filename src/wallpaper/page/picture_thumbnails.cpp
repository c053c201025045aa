// The picture list's two views. The list box is owner-drawn in both: "列表" draws a row as the plain
// list box does; "缩略图" draws each picture's thumbnail beside its name. Thumbnails are asked for when
// a row without one is drawn, so nothing is made before the list shows, and each scroll, resize or
// filling asks again for the rows that show, which drops what waits.
#include "wallpaper/page/picture_page.h"

#include "res/resource.h"
#include "settings/settings_store.h"
#include "wallpaper/pictures/picture_files.h"
#include "wallpaper/pictures/thumbnail_queue.h"

#include <shellapi.h>

namespace wallpaper {

namespace {

constexpr UINT WM_ORDER_THUMBNAILS = WM_APP + 24;

// The row height a plain list box gives itself for `font`.
int PlainRowHeight(HWND parent, HFONT font) {
    HWND plain = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(plain, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const auto height = static_cast<int>(SendMessageW(plain, LB_GETITEMHEIGHT, 0, 0));
    DestroyWindow(plain);
    return height;
}

} // namespace

int PicturePage::Scaled(int pixels96) const {
    return MulDiv(pixels96, static_cast<int>(dpi_), 96);
}

int PicturePage::RowHeight() const {
    HFONT font = File1 ? reinterpret_cast<HFONT>(SendMessageW(File1, WM_GETFONT, 0, 0)) : font_;
    const int text = PlainRowHeight(hwnd(), font);
    if (!settings_.Thumbnails) return text;
    return std::max(Scaled(ThumbnailHeight96), 2 * text) + 2 * Scaled(ThumbnailPadding96);
}

void PicturePage::SetRowHeight() {
    if (!File1) return;
    SendMessageW(File1, LB_SETITEMHEIGHT, 0, RowHeight());
    // The selected row stays in sight.
    if (int index = ListIndex(); index >= 0) SendMessageW(File1, LB_SETCARETINDEX, index, FALSE);
    InvalidateRect(File1, nullptr, TRUE);
}

void PicturePage::Reposition(UINT dpi, HFONT font) {
    TabPage::Reposition(dpi, font);
    SetRowHeight();
}

void PicturePage::SetView(bool thumbnails) {
    settings_.Thumbnails = thumbnails;
    settings::SaveSetting(places_.ProgramFolder, settings::SectionSettings, settings::KeyPictureListView,
                          thumbnails ? settings::ViewThumbnails : settings::ViewList);
    if (!thumbnails) ReleaseThumbnails();
    SetRowHeight();
}

void PicturePage::ReleaseThumbnails() {
    for (ThumbnailRow& row : rows_)
        row.bitmap.reset();
    if (work_) work_->CancelThumbnails();
    ordered_.reset();
}

std::pair<int, int> PicturePage::ShownRows() const {
    RECT client{};
    GetClientRect(File1, &client);
    const auto height = static_cast<int>(std::max<LRESULT>(SendMessageW(File1, LB_GETITEMHEIGHT, 0, 0), 1));
    return {static_cast<int>(SendMessageW(File1, LB_GETTOPINDEX, 0, 0)),
            (client.bottom + height - 1) / height};
}

void PicturePage::ThumbnailWanted() {
    if (orderPosted_ || ordered_ == ShownRows()) return;
    orderPosted_ = true;
    PostMessageW(hwnd(), WM_ORDER_THUMBNAILS, 0, 0);
}

void PicturePage::OrderThumbnails() {
    orderPosted_ = false;
    if (!work_ || !settings_.Thumbnails || !windowShown_ || !IsWindowVisible(File1)) return;
    const auto [top, shown] = ShownRows();
    ordered_ = {top, shown};
    const int count = static_cast<int>(rows_.size());
    // Only the rows in sight and a page each way hold their bitmaps.
    const auto [keepFrom, keepTo] = ThumbnailKeepRange(count, top, shown);
    for (int row = 0; row < count; ++row)
        if (row < keepFrom || row >= keepTo) rows_[row].bitmap.reset();
    std::vector<PictureWork::ThumbnailAsk> asks;
    for (int row :
         ThumbnailOrder(count, top, shown, [&](int r) { return !rows_[r].bitmap && !rows_[r].failed; }))
        asks.push_back({row, JoinPath(listFolder_, names_[row])});
    work_->Thumbnails(list_, std::move(asks), places_.ThumbnailFolder, Scaled(ThumbnailWidth96),
                      Scaled(ThumbnailHeight96));
}

void PicturePage::ThumbnailsMade() {
    const auto [top, shown] = ShownRows();
    const auto [keepFrom, keepTo] = ThumbnailKeepRange(static_cast<int>(rows_.size()), top, shown);
    for (PictureWork::Thumbnail& t : work_->TakeThumbnails()) {
        if (t.list != list_ || t.row < keepFrom || t.row >= keepTo || !settings_.Thumbnails) continue;
        ThumbnailRow& row = rows_[t.row];
        row.failed = t.pixels.failed;
        if (!row.failed) {
            BITMAPINFO bi{};
            bi.bmiHeader = {sizeof bi.bmiHeader, t.pixels.width, -t.pixels.height, 1, 32, BI_RGB};
            void* bits = nullptr;
            row.bitmap.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
            if (!bits) continue;
            std::copy(t.pixels.bgra.begin(), t.pixels.bgra.end(), static_cast<uint8_t*>(bits));
            row.width = t.pixels.width;
            row.height = t.pixels.height;
        }
        RECT r{};
        if (SendMessageW(File1, LB_GETITEMRECT, t.row, reinterpret_cast<LPARAM>(&r)) != LB_ERR)
            InvalidateRect(File1, &r, FALSE);
    }
}

HICON PicturePage::TypeIcon(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    std::wstring extension = dot == std::wstring::npos ? L"" : name.substr(dot);
    CharLowerBuffW(extension.data(), static_cast<DWORD>(extension.size()));
    platform::UniqueIcon& icon = typeIcons_[extension];
    SHFILEINFOW info{};
    if (!icon && SHGetFileInfoW((L"a" + extension).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                                SHGFI_ICON | SHGFI_USEFILEATTRIBUTES))
        icon.reset(info.hIcon);
    return icon.get();
}

void PicturePage::File1_DrawItem(const DRAWITEMSTRUCT& d) {
    const bool focus = (d.itemState & ODS_FOCUS) && !(d.itemState & ODS_NOFOCUSRECT);
    if (d.itemID == static_cast<UINT>(-1) || d.itemAction == ODA_FOCUS) {
        if (focus || d.itemAction == ODA_FOCUS) DrawFocusRect(d.hDC, &d.rcItem);
        return;
    }
    const bool selected = d.itemState & ODS_SELECTED;
    HDC dc = d.hDC;
    const int saved = SaveDC(dc);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(File1, WM_GETFONT, 0, 0)));
    // A picture never to be shown again is drawn in the grey of disabled text; a favourite has a star.
    const Mark mark = MarkOfIndex(static_cast<int>(d.itemID));
    SetTextColor(dc, GetSysColor(selected                                                   ? COLOR_HIGHLIGHTTEXT
                                 : (d.itemState & ODS_DISABLED) || mark == Mark::Never ? COLOR_GRAYTEXT
                                                                                        : COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const std::wstring text = List(static_cast<int>(d.itemID));
    constexpr wchar_t Star[] = L"★";
    auto drawStar = [&](int x, int y) {
        const COLORREF colour = SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(232, 160, 0));
        const int mode = SetBkMode(dc, TRANSPARENT);
        TextOutW(dc, x, y, Star, 1);
        SetBkMode(dc, mode);
        SetTextColor(dc, colour);
        SIZE size{};
        GetTextExtentPoint32W(dc, Star, 1, &size);
        return size.cx;
    };
    if (!settings_.Thumbnails) {
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &d.rcItem, L"", 0, nullptr);
        int x = d.rcItem.left + 1;
        if (mark == Mark::Favourite) x += drawStar(x, d.rcItem.top) + 2;
        ExtTextOutW(dc, x, d.rcItem.top, ETO_CLIPPED, &d.rcItem, text.c_str(), static_cast<UINT>(text.size()),
                    nullptr);
    } else {
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &d.rcItem, L"", 0, nullptr);
        const int pad = Scaled(ThumbnailPadding96), boxW = Scaled(ThumbnailWidth96),
                  boxH = Scaled(ThumbnailHeight96);
        const RECT box{d.rcItem.left + pad, (d.rcItem.top + d.rcItem.bottom - boxH) / 2,
                       d.rcItem.left + pad + boxW, (d.rcItem.top + d.rcItem.bottom + boxH) / 2};
        const ThumbnailRow* row = d.itemID < rows_.size() ? &rows_[d.itemID] : nullptr;
        if (row && row->bitmap) {
            // Made at another DPI, it is fitted into the box again.
            int w = row->width, h = row->height;
            if (w > boxW || h > boxH) {
                const bool wide = int64_t{w} * boxH > int64_t{h} * boxW;
                w = wide ? boxW : std::max(1, row->width * boxH / row->height);
                h = wide ? std::max(1, row->height * boxW / row->width) : boxH;
            }
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, row->bitmap.get());
            GdiAlphaBlend(dc, box.left + (boxW - w) / 2, box.top + (boxH - h) / 2, w, h, memory, 0, 0,
                          row->width, row->height, {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
            SelectObject(memory, old);
            DeleteDC(memory);
        } else if (row && row->failed) {
            const int side = Scaled(32);
            DrawIconEx(dc, box.left + (boxW - side) / 2, box.top + (boxH - side) / 2, TypeIcon(text), side,
                       side, 0, nullptr, DI_NORMAL);
        } else {
            FrameRect(dc, &box, GetSysColorBrush(COLOR_3DLIGHT));
            ThumbnailWanted();
        }
        if (mark == Mark::Favourite) drawStar(box.left + 1, box.top);
        // The name beside it, on up to two lines, centred on the box.
        RECT name{box.right + pad, d.rcItem.top + pad, d.rcItem.right - pad, d.rcItem.bottom - pad};
        const UINT format = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;
        RECT need = name;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, format | DT_CALCRECT);
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        const int h = std::min<int>(need.bottom - need.top, 2 * tm.tmHeight);
        name.top = (d.rcItem.top + d.rcItem.bottom - h) / 2;
        name.bottom = name.top + h;
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &name, format | DT_END_ELLIPSIS);
    }
    RestoreDC(dc, saved);
    if (focus) DrawFocusRect(dc, &d.rcItem);
}

LRESULT PicturePage::ThumbnailMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
    handled = true;
    switch (msg) {
    case WM_MEASUREITEM:
        if (wp != ui::IDC_File1) break;
        reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = RowHeight();
        return TRUE;
    case WM_DRAWITEM:
        if (wp != ui::IDC_File1) break;
        File1_DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_ORDER_THUMBNAILS:
        OrderThumbnails();
        return 0;
    case WM_THUMBNAILS_MADE:
        ThumbnailsMade();
        return 0;
    }
    handled = false;
    return 0;
}

} // namespace wallpaper
