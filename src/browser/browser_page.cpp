#include "browser/browser_page.h"

#include <commctrl.h>

namespace browser {
using namespace ui;

bool BrowserPage::Build(HWND parent, int id, HFONT font, UINT dpi) {
    font_ = font;
    dpi_ = dpi;
    if (!Create(parent, id)) return false;
    picture2_.Create(hwnd(), IDC_Picture2);
    Picture2 = picture2_.hwnd();
    ShowWindow(Picture2, SW_SHOW);
    Combo1 = Add(Picture2, IDC_Combo1, WC_COMBOBOXW, L"",
                 WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, {0, 45, 1800, 2400});
    for (const wchar_t* name :
         {L"桌面", L"Windows目录", L"系统目录", L"我的文档", L"浏览器缓存", L"系统缓存"})
        SendMessageW(Combo1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    Command8 = Add(Picture2, IDC_Command8, WC_BUTTONW, L"后退", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                   {1900, 30, 900, 360});
    Label1 =
        Add(Picture2, IDC_Label1, WC_STATICW, L"当前路径：", WS_VISIBLE | SS_NOPREFIX, {2950, 90, 1000, 240});
    Label2 = Add(Picture2, IDC_Label2, WC_STATICW, L"", WS_VISIBLE | SS_NOPREFIX | SS_PATHELLIPSIS,
                 {3950, 90, 4000, 240});

    ListView1 = Add(hwnd(), IDC_ListView1, WC_LISTVIEWW, L"",
                    WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, {330, 460, 8000, 3000},
                    WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(ListView1, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_DOUBLEBUFFER);
    struct Column {
        const wchar_t* header;
        int width;
        int format;
    };
    int i = 0;
    for (Column c : {Column{L"名称", 2600, LVCFMT_LEFT}, Column{L"大小(KB)", 1300, LVCFMT_RIGHT},
                     Column{L"文件类型", 1800, LVCFMT_LEFT}, Column{L"修改日期", 2100, LVCFMT_LEFT}}) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.fmt = c.format;
        col.cx = platform::Twips(c.width, dpi);
        col.pszText = const_cast<wchar_t*>(c.header);
        ListView_InsertColumn(ListView1, i++, &col);
    }
    // Working controls, never shown.
    File2 = Add(hwnd(), IDC_File2, WC_LISTBOXW, L"", LBS_SORT | LBS_NOINTEGRALHEIGHT, {0, 0, 0, 0});
    Dir1 = Add(hwnd(), IDC_Dir1, WC_LISTBOXW, L"", LBS_SORT | LBS_NOINTEGRALHEIGHT, {0, 0, 0, 0});
    List1 = Add(hwnd(), IDC_List1, WC_LISTBOXW, L"", LBS_NOINTEGRALHEIGHT, {0, 0, 0, 0});
    pic16 = Add(hwnd(), IDC_pic16, WC_STATICW, L"", SS_WHITERECT, {0, 0, 240, 240});
    return true;
}

void BrowserPage::Layout(int W, int H, UINT dpi) {
    layout::BrowserTab t = layout::LayoutBrowserTab(W, H, Picture2Height);
    PlaceInFrame(Picture2, t.Picture2, dpi);
    PlaceInFrame(ListView1, t.ListView1, dpi);
    // The path label takes what is left of the panel's width.
    Place(Label2, {3950, 90, std::max(600, t.Picture2.width - 3950), 240}, dpi);
}

void BrowserPage::StartAt(const std::wstring& folder) {
    folder_ = folder;
    SetWindowTextW(Label2, folder.c_str());
    SendMessageW(List1, LB_RESETCONTENT, 0, 0);
    SendMessageW(List1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    RefreshLists();
}

void BrowserPage::RefreshLists() {
    SendMessageW(File2, LB_RESETCONTENT, 0, 0);
    SendMessageW(Dir1, LB_RESETCONTENT, 0, 0);
    if (folder_.empty()) return;
    std::wstring pattern = folder_ + (folder_.back() == L'\\' ? L"*" : L"\\*");
    WIN32_FIND_DATAW fd;
    platform::UniqueFind find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                               nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return;
    do {
        const bool folder = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (folder && (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L".."))) continue;
        // Like the shell's own lists, hidden and system entries are left out.
        if (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        SendMessageW(folder ? Dir1 : File2, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fd.cFileName));
    } while (FindNextFileW(find.get(), &fd));
}

} // namespace browser
