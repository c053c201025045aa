#include "wallpaper/picture_page.h"

#include "app/form_main.h"
#include "wallpaper/picture_list.h"

#include <commctrl.h>

namespace app {

bool PicturePage::Build(HWND parent, int id, HFONT font, UINT dpi) {
    font_ = font;
    dpi_ = dpi;
    if (!Create(parent, id)) return false;
    const DWORD button = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    Command1 = Add(hwnd(), IDC_Command1, WC_BUTTONW, L"指定图片路径", button, {330, 30, 1260, 360});
    Command3 = Add(hwnd(), IDC_Command3, WC_BUTTONW, L"默认路径", button, {1660, 30, 1260, 360});
    Command2 = Add(hwnd(), IDC_Command2, WC_BUTTONW, L"设为墙纸", button, {330, 430, 1260, 360});
    Command4 = Add(hwnd(), IDC_Command4, WC_BUTTONW, L"自动更换墙纸", button, {1660, 430, 1260, 360});
    Command6 = Add(hwnd(), IDC_Command6, WC_BUTTONW, L"循环看图", button, {330, 830, 1260, 360});
    Command5 = Add(hwnd(), IDC_Command5, WC_BUTTONW, L"下载最新墙纸", button, {1660, 830, 1260, 360});
    File1 = Add(hwnd(), IDC_File1, WC_LISTBOXW, L"",
                WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, File1Designed,
                WS_EX_CLIENTEDGE);
    P_back = Add(hwnd(), IDC_P_back, WC_STATICW, L"", WS_VISIBLE | SS_BLACKFRAME, {2930, 30, 5000, 3000});
    return true;
}

void PicturePage::Layout(int W, int H, UINT dpi) {
    layout::PictureTab t = layout::LayoutPictureTab(W, H, File1Designed);
    PlaceInFrame(File1, t.File1, dpi);
    PlaceInFrame(P_back, t.P_back, dpi);
}

bool PicturePage::SetPath(const std::wstring& folder) {
    std::wstring f = wallpaper::NormalizeFolder(folder);
    if (!wallpaper::FolderExists(f)) return false;
    path_ = f;
    Refresh();
    return true;
}

void PicturePage::Refresh() {
    SendMessageW(File1, WM_SETREDRAW, FALSE, 0);
    SendMessageW(File1, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& name : wallpaper::ListPictures(path_))
        SendMessageW(File1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(File1, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(File1, nullptr, TRUE);
}

} // namespace app

namespace app {

int PicturePage::ListCount() const { return static_cast<int>(SendMessageW(File1, LB_GETCOUNT, 0, 0)); }

int PicturePage::ListIndex() const { return static_cast<int>(SendMessageW(File1, LB_GETCURSEL, 0, 0)); }

void PicturePage::SetListIndex(int index) {
    SendMessageW(File1, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    File1_Click();
}

// The preview and the wallpaper come with the picture decoder.
void PicturePage::File1_Click() {}
void PicturePage::加载图片(const std::wstring&, bool) {}
void PicturePage::设置墙纸(const std::wstring&) {}

} // namespace app
