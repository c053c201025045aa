#include "browser/browser_page.h"

#include "fileinfo/file_info.h"
#include "res/resource.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

namespace browser {
using namespace ui;
using fileinfo::CFileInfo;

const std::wstring& SpecialFolderPath(const core::FolderPaths& paths, int entry) {
    switch (entry) {
    case 1:
        return paths.Windows;
    case 2:
        return paths.System;
    case 3:
        return paths.Documents;
    case 4:
        return paths.BrowserCache;
    case 5:
        return paths.Temp;
    }
    return paths.Desktop;
}

bool BrowserPage::Build(HWND parent, int id, HFONT font, UINT dpi) {
    font_ = font;
    dpi_ = dpi;
    if (!Create(parent, id)) return false;
    popups_.reset(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUPS)));
    LV = GetSubMenu(popups_.get(), POPUP_LV);
    picture2_.Create(hwnd(), IDC_Picture2);
    Picture2 = picture2_.hwnd();
    ShowWindow(Picture2, SW_SHOW);
    Combo1 = Add(Picture2, IDC_Combo1, WC_COMBOBOXW, L"",
                 WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, {0, 45, 1800, 2400});
    for (const wchar_t* name : SpecialFolders)
        SendMessageW(Combo1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    platform::SetAccessibleName(Combo1, L"文件夹");
    Command8 = Add(Picture2, IDC_Command8, WC_BUTTONW, L"后退",
                   WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, {1900, 30, 900, 360});
    Label1 =
        Add(Picture2, IDC_Label1, WC_STATICW, L"当前路径：", WS_VISIBLE | SS_NOPREFIX, {2950, 90, 1000, 240});
    Label2 = Add(Picture2, IDC_Label2, WC_STATICW, L"", WS_VISIBLE | SS_NOPREFIX | SS_PATHELLIPSIS,
                 {3950, 90, 4000, 240});

    // The rows live here; the list asks for the ones it shows.
    ListView1 = Add(hwnd(), IDC_ListView1, WC_LISTVIEWW, L"",
                    WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA |
                        LVS_SHAREIMAGELISTS | LVS_EDITLABELS,
                    {330, 460, 8000, 3000}, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(ListView1, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    platform::SetAccessibleName(ListView1, L"文件列表");
    HookListView();
    const wchar_t* headers[] = {L"名称", L"大小(KB)", L"文件类型", L"修改日期"};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.fmt = i == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        col.cx = platform::Twips(ColumnWidths[i], dpi);
        col.pszText = const_cast<wchar_t*>(headers[i]);
        ListView_InsertColumn(ListView1, i, &col);
    }

    return true;
}

void BrowserPage::FinishBuild() {
    if (tip_) return;
    tip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW tool{sizeof tool};
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(ListView1);
    tool.lpszText = const_cast<wchar_t*>(L"双击打开文件和文件夹");
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    AcceptDrops();
}

void BrowserPage::Reposition(UINT dpi, HFONT font) {
    TabPage::Reposition(dpi, font);
    for (int i = 0; i < 4; ++i)
        ListView_SetColumnWidth(ListView1, i, platform::Twips(ColumnWidths[i], dpi));
}

void BrowserPage::Layout(int W, int H, UINT dpi) {
    layout::BrowserTab t = layout::LayoutBrowserTab(W, H, Picture2Height);
    PlaceInFrame(Picture2, t.Picture2, dpi);
    PlaceInFrame(ListView1, t.ListView1, dpi);
    // The path label takes what is left of the panel's width.
    Place(Label2, {3950, 90, std::max(600, t.Picture2.width - 3950), 240}, dpi);
}

bool BrowserPage::OnCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_Combo1:
        if (code == CBN_SELCHANGE) Combo1_Click();
        return true;
    case IDC_Command8:
        if (code == BN_CLICKED) Command8_Click();
        return true;
    case ID_LV刷新:
        RefreshBrowser();
        return true;
    case ID_menu打开文件:
    case ID_menu用资源管理器打开:
        OpenSelectedItem();
        return true;
    case ID_menu打开文件夹:
        EnterSelectedFolder();
        return true;
    case ID_menu复制到:
        CopySelectedTo();
        return true;
    case ID_menu移动到:
        MoveSelectedTo();
        return true;
    case ID_menu删除:
        DeleteSelected();
        return true;
    case ID_menu删除到回收站:
        RecycleSelected();
        return true;
    case ID_menu桌面:
    case ID_menuWindows目录:
    case ID_menu系统目录:
    case ID_menu我的文档:
    case ID_menu浏览器缓存:
    case ID_menu系统缓存:
        ShowSpecialFolder(SpecialFolders[id - ID_menu桌面]);
        return true;
    }
    return false;
}

// ---- start-up and navigation --------------------------------------------------------------------

void BrowserPage::StartUp(const core::FolderPaths& paths) {
    paths_ = &paths;
    // An empty or missing desktop leaves an empty list; start-up goes on without a question.
    startingUp_ = true;
    ResetBrowserList();
    SendMessageW(Combo1, CB_SETCURSEL, 0, 0);
    Combo1_Click();
    if (comboEntry_ < 0) { // no desktop folder: its path, and an empty list
        SetPath(paths.Desktop);
        SetWindowTextW(Label2, lists_.Path.c_str());
        history_.Start(lists_.Path);
        Rebuild();
    }
    startingUp_ = false;
}

void BrowserPage::Combo1_Click() {
    int entry = static_cast<int>(SendMessageW(Combo1, CB_GETCURSEL, 0, 0));
    if (entry < 0 || entry >= static_cast<int>(std::size(SpecialFolders)) || !paths_) return;
    const std::wstring& path = SpecialFolderPath(*paths_, entry);
    if (!FolderExists(path)) {
        // The browser stays on the folder it shows, and so does the selector.
        if (!startingUp_) {
            std::wstring name = SpecialFolders[entry];
            Report(path.empty() ? L"无法打开“" + name + L"”：系统没有提供这个文件夹的路径。"
                                : L"无法打开“" + name + L"”：文件夹“" + path + L"”不存在。");
        }
        if (comboEntry_ >= 0) SendMessageW(Combo1, CB_SETCURSEL, comboEntry_, 0);
        return;
    }
    comboEntry_ = entry;
    SetPath(path);
    SetWindowTextW(Label2, lists_.Path.c_str());
    history_.Start(lists_.Path);
    Rebuild();
}

void BrowserPage::EnterSelectedFolder() {
    if (rows_.empty()) return;
    const BrowserRow* row = SelectedItem();
    if (!row) return;
    // The watch lets go of the folders first: some systems keep a deleted folder while it is watched.
    watch_.Stop();
    if (!EntryExists(row->Key)) {
        // Gone (or hidden) since the listing: show what the folder holds now.
        RefreshBrowser();
        return;
    }
    if (!row->IsFolder()) return StartWatch();
    std::wstring folder = row->Key;
    SetPath(folder);
    SetWindowTextW(Label2, lists_.Path.c_str());
    history_.Enter(lists_.Path);
    EnableWindow(Command8, history_.BackEnabled());
    Rebuild();
}

void BrowserPage::Command8_Click() {
    const std::wstring* target = history_.BackTarget();
    if (!target) {
        history_.DisableBack();
        EnableWindow(Command8, history_.BackEnabled());
        return;
    }
    if (!FolderExists(*target)) {
        Report(L"无法后退：文件夹“" + *target + L"”已不存在。");
        return;
    }
    std::wstring folder = *target;
    history_.StepBack();
    SetPath(folder);
    Rebuild();
    SetWindowTextW(Label2, lists_.Path.c_str());
}

void BrowserPage::ListView1_DblClick() {
    if (rows_.empty()) return;
    const BrowserRow* row = SelectedItem();
    if (!row) return;
    if (!row->IsFolder())
        OpenSelectedItem();
    else
        EnterSelectedFolder();
}

void BrowserPage::OpenSelectedItem() {
    if (rows_.empty()) return;
    const BrowserRow* row = SelectedItem();
    if (!row) return;
    if (EntryExists(row->Key))
        ShellExecuteW(GetAncestor(hwnd(), GA_ROOT), L"open", row->Key.c_str(), L"", L"", SW_SHOWNORMAL);
    else
        RefreshBrowser();
}

void BrowserPage::RefreshBrowser() {
    RemoveAllRows();
    SetPath(lists_.Path);
    ListSubfolders();
    ListFiles();
}

void BrowserPage::ShowSpecialFolder(const std::wstring& x) {
    host_.BringUpMainWindow();
    host_.ShowBrowserTab();
    if (platform::GetText(Combo1) == x) return;
    int entry = static_cast<int>(SendMessageW(Combo1, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(x.c_str())));
    if (entry < 0) return;
    SendMessageW(Combo1, CB_SETCURSEL, entry, 0);
    Combo1_Click();
}

void BrowserPage::SetPath(const std::wstring& folder) {
    ReadFolder(folder, &lists_);
}

void BrowserPage::RefreshLists() {
    ReadFolder(lists_.Path, &lists_);
}

void BrowserPage::Report(const std::wstring& text) {
    platform::Message(GetAncestor(hwnd(), GA_ROOT), text, MB_OK | MB_ICONEXCLAMATION);
}

// ---- popup menu and file operations ------------------------------------------------------------

void BrowserPage::SetLvMenuState() {
    const BrowserRow* row = SelectedItem();
    auto enable = [&](UINT id, bool on) {
        EnableMenuItem(LV, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    // With no row there is nothing to open; the other items do nothing then.
    enable(ID_menu打开文件, row && !row->IsFolder());
    enable(ID_menu打开文件夹, row && row->IsFolder());
    enable(ID_menu用资源管理器打开, row && row->IsFolder());
}

void BrowserPage::ListView1_ContextMenu(LPARAM screenPoint) {
    POINT at{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    if (screenPoint == -1) { // from the keyboard: at the selected row, else at the list's corner
        RECT r{};
        int index = ListView_GetNextItem(ListView1, -1, LVNI_SELECTED);
        if (index >= 0 && ListView_GetItemRect(ListView1, index, &r, LVIR_LABEL)) {
            at = {r.left, r.bottom};
            ClientToScreen(ListView1, &at);
        } else {
            GetWindowRect(ListView1, &r);
            at = {r.left, r.top};
        }
    }
    SetLvMenuState();
    TrackPopupMenu(LV, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, GetAncestor(hwnd(), GA_ROOT), nullptr);
}

std::vector<Entry> BrowserPage::SelectedEntries() const {
    std::vector<Entry> entries;
    for (const BrowserRow* row : SelectedRows())
        entries.push_back({row->Key, row->IsFolder()});
    return entries;
}

void BrowserPage::ReportFailures(FileOperation operation, const FileOperations& done) {
    std::wstring text = FailureReport(operation, done.Failures());
    if (!text.empty()) platform::Message(GetAncestor(hwnd(), GA_ROOT), text, MB_OK | MB_ICONWARNING);
}

void BrowserPage::CopySelectedTo() {
    if (rows_.empty()) return;
    std::wstring folder = host_.BrowseForFolder();
    if (folder.empty()) return;
    std::unique_ptr<Progress> progress = ShellProgress(GetAncestor(hwnd(), GA_ROOT), FileOperation::Copy);
    FileOperations copy(progress.get());
    copy.CopyTo(SelectedEntries(), folder);
    progress.reset();
    // The list shows the current folder, which a copy elsewhere leaves as it was.
    ReportFailures(FileOperation::Copy, copy);
}

void BrowserPage::MoveSelectedTo() {
    if (rows_.empty()) return;
    std::wstring folder = host_.BrowseForFolder();
    if (folder.empty()) return;
    std::unique_ptr<Progress> progress = ShellProgress(GetAncestor(hwnd(), GA_ROOT), FileOperation::Move);
    FileOperations move(progress.get());
    move.MoveTo(SelectedEntries(), folder);
    progress.reset();
    RefreshBrowser();
    ReportFailures(FileOperation::Move, move);
}

void BrowserPage::DeleteSelected() {
    if (rows_.empty()) return;
    FileOperations del;
    del.Delete(SelectedEntries());
    RefreshBrowser();
    ReportFailures(FileOperation::Delete, del);
}

void BrowserPage::RecycleSelected() {
    if (rows_.empty()) return;
    // Files only, each in a shell operation of its own; the shell asks and reports itself.
    for (const Entry& e : SelectedEntries())
        if (!e.folder) 删除到回收站(e.path);
    RefreshBrowser();
}

// ---- listing ------------------------------------------------------------------------------------

void BrowserPage::ResetBrowserList() {
    RemoveAllRows();
    ListView_SetImageList(ListView1, nullptr, LVSIL_NORMAL);
    ListView_SetImageList(ListView1, nullptr, LVSIL_SMALL);
    icons_.Reset();
    ListView_SetImageList(ListView1, icons_.iml16(), LVSIL_SMALL);
}

void BrowserPage::Rebuild() {
    RemoveAllRows();
    ListSubfolders();
    ListFiles();
}

void BrowserPage::RemoveAllRows() {
    StopLiveView();
    rows_.clear();
    icons_.ForgetFailures();
    ListView_DeleteAllItems(ListView1);
    // New rows come in listing order, whatever the last sort was.
    shownSort_.reset();
    ShowSortArrow(-1, 0);
}

std::wstring BrowserPage::FolderSizeText(const std::wstring& folder) {
    return fileinfo::FormatFolderSize(FolderTreeSize(folder).bytes);
}

void BrowserPage::ListSubfolders() {
    rows_.reserve(rows_.size() + lists_.Dir1.size());
    for (size_t i = 0; i < lists_.Dir1.size(); ++i)
        rows_.push_back(FolderRow(Dir1List(i), lists_.Dir1[i]));
    ShowRowCount();
    // Sizes fill in as their walks end, in the order the rows are shown.
    for (size_t i = rows_.size() - lists_.Dir1.size(); i < rows_.size(); ++i)
        WalkFolder(rows_[i].Key);
}

void BrowserPage::ListFiles() {
    rows_.reserve(rows_.size() + lists_.File2.size());
    const std::wstring prefix = FolderPrefix(lists_.Path);
    for (const FoundEntry& found : lists_.File2)
        rows_.push_back(FileRow(prefix + found.name, found));
    ShowRowCount();
    StartWatch();
}

void BrowserPage::ShowRowCount() {
    ListView_SetItemCountEx(ListView1, static_cast<int>(rows_.size()), 0);
    InvalidateRect(ListView1, nullptr, TRUE);
}

// ---- selection and sorting ----------------------------------------------------------------------

const BrowserRow* BrowserPage::SelectedItem() const {
    int focused = ListView_GetNextItem(ListView1, -1, LVNI_FOCUSED);
    int index = focused >= 0 && ListView_GetItemState(ListView1, focused, LVIS_SELECTED)
                    ? focused
                    : ListView_GetNextItem(ListView1, -1, LVNI_SELECTED);
    return index >= 0 && index < static_cast<int>(rows_.size()) ? &rows_[static_cast<size_t>(index)]
                                                                : nullptr;
}

std::vector<const BrowserRow*> BrowserPage::SelectedRows() const {
    std::vector<const BrowserRow*> selected;
    for (int i = ListView_GetNextItem(ListView1, -1, LVNI_SELECTED);
         i >= 0 && i < static_cast<int>(rows_.size()); i = ListView_GetNextItem(ListView1, i, LVNI_SELECTED))
        selected.push_back(&rows_[static_cast<size_t>(i)]);
    return selected;
}

void BrowserPage::ListView1_ColumnClick(int headerIndex) {
    if (headerIndex < 1 || headerIndex > 4) return;
    SortRows(fileinfo::ListView1_ColumnClick(sort_, headerIndex), false);
}

void BrowserPage::ShowSortArrow(int column, int order) {
    HWND header = ListView_GetHeader(ListView1);
    for (int i = 0; i < 4; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column) item.fmt |= order ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, i, &item);
    }
}

// ---- messages -----------------------------------------------------------------------------------

bool BrowserPage::OnListNotify(NMHDR* nm, LRESULT* result) {
    if (OnListEditNotify(nm, result)) return true;
    switch (nm->code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(nm)->item;
        if (item.iItem < 0 || item.iItem >= static_cast<int>(rows_.size())) return true;
        const BrowserRow& row = rows_[static_cast<size_t>(item.iItem)];
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            const std::wstring* texts[] = {&row.Text, &row.Size, &row.Type, &row.Date};
            const std::wstring& text = *texts[item.iSubItem >= 0 && item.iSubItem < 4 ? item.iSubItem : 0];
            lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
        }
        if (item.mask & LVIF_IMAGE) item.iImage = row.Image >= 0 ? row.Image : I_IMAGENONE;
        return true;
    }
    case LVN_ODFINDITEMW: {
        // Typing a name's first letters finds the row.
        auto* find = reinterpret_cast<NMLVFINDITEMW*>(nm);
        *result = -1;
        if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz || rows_.empty())
            return true;
        size_t n = rows_.size(), length = wcslen(find->lvfi.psz);
        size_t start = find->iStart >= 0 ? static_cast<size_t>(find->iStart) % n : 0;
        for (size_t k = 0; k < n; ++k) {
            size_t i = (start + k) % n;
            const std::wstring& name = rows_[i].Text;
            if (name.size() >= length &&
                CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.c_str(), static_cast<int>(length),
                               find->lvfi.psz, static_cast<int>(length)) == CSTR_EQUAL) {
                *result = static_cast<LRESULT>(i);
                break;
            }
        }
        return true;
    }
    case NM_DBLCLK:
        ListView1_DblClick();
        return true;
    case LVN_COLUMNCLICK:
        ListView1_ColumnClick(reinterpret_cast<NMLISTVIEW*>(nm)->iSubItem + 1);
        return true;
    }
    return false;
}

LRESULT BrowserPage::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_FOLDER_SIZE) return OnFolderSize(wp, lp), 0;
    // wParam 0: changes wait in the watch; 1: the watch has looked them up.
    if (msg == WM_FOLDER_CHANGED) return wp ? ApplyFolderChanges() : OnFolderChanged(), 0;
    if (msg == WM_TIMER && wp == LiveViewTimer) return OnLiveViewTimer(), 0;
    if (msg == WM_KEEP_TOP_ROW) return KeepTopRow(), 0;
    if (msg == WM_DESTROY) StopLiveView(), walker_.reset();
    if (msg == WM_CONTEXTMENU && reinterpret_cast<HWND>(wp) == ListView1) return ListView1_ContextMenu(lp), 0;
    if (msg == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        LRESULT result = 0;
        if (nm->hwndFrom == ListView1 && OnListNotify(nm, &result)) return result;
    }
    return TabPage::HandleMessage(msg, wp, lp);
}

} // namespace browser
