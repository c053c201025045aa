#include "monitor/monitor_page.h"

#include "core/identity.h"
#include "monitor/shell_events.h"
#include "monitor/shell_notify.h"
#include "platform/whole_file.h"
#include "res/resource.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

namespace monitor {
using namespace ui;
namespace {

constexpr int FlashSteps = 6;

// Letter case as the system folds it, for every script.
void FoldCase(std::wstring& text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
}

// The local date and time in the user's short-date and long-time forms.
std::wstring LocalTimeText() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t date[96] = L"", time[96] = L"";
    if (!GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 96, nullptr) ||
        !GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, nullptr, time, 96)) {
        swprintf(date, 96, L"%u-%u-%u", now.wYear, now.wMonth, now.wDay);
        swprintf(time, 96, L"%u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
    }
    return std::wstring(date) + L" " + time;
}

// The 32-bit number that image update and free space events carry after the item's size field.
std::optional<std::uint32_t> CarriedNumber(PCIDLIST_ABSOLUTE item) {
    if (!item) return std::nullopt;
    const auto* bytes = reinterpret_cast<const BYTE*>(item);
    USHORT size;
    std::memcpy(&size, bytes, sizeof size);
    if (size < sizeof size + sizeof(std::uint32_t)) return std::nullopt;
    std::uint32_t number;
    std::memcpy(&number, bytes + sizeof size, sizeof number);
    return number;
}

std::optional<ItemNames> Names(PCIDLIST_ABSOLUTE item) {
    if (!item) return std::nullopt;
    ItemNames names{IDListDisplayName(item), {}};
    if (!names.name.empty()) names.path = IDListPath(item);
    return names;
}

// Puts the text on the clipboard as Unicode text.
void CopyText(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

std::string Utf8WithBom(const std::wstring& text) {
    std::string bytes = "\xEF\xBB\xBF";
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    bytes.resize(3 + static_cast<size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data() + 3, n, nullptr,
                        nullptr);
    return bytes;
}

} // namespace

MonitorPage::MonitorPage() : log_(&FoldCase) {}

MonitorPage::~MonitorPage() {
    if (monitoring_) Command9_Click();
}

bool MonitorPage::Build(HWND parent, int id, HFONT font, UINT dpi) {
    font_ = font;
    dpi_ = dpi;
    if (!Create(parent, id)) return false;
    picture3_.Create(hwnd(), IDC_Picture3);
    Picture3 = picture3_.hwnd();
    ShowWindow(Picture3, SW_SHOW);
    const DWORD button = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    Command7 = Add(Picture3, IDC_Command7, WC_BUTTONW, L"启动监视", button, {0, 60, 1200, 360});
    Command9 = Add(Picture3, IDC_Command9, WC_BUTTONW, L"停止监视", button, {1300, 60, 1200, 360});
    Label3 = Add(Picture3, IDC_Label3, WC_STATICW, L"监视尚未启动", WS_VISIBLE | SS_NOPREFIX,
                 {2700, 120, 4000, 240});
    popups_.reset(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUPS)));
    RichTextBox1 =
        Add(hwnd(), IDC_RichTextBox1, WC_LISTVIEWW, L"",
            WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS,
            {330, 520, 8000, 3000}, WS_EX_CLIENTEDGE);
    if (!RichTextBox1) return false;
    platform::SetAccessibleName(RichTextBox1, L"监视记录");
    ListView_SetExtendedListViewStyle(RichTextBox1, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    LVCOLUMNW column{LVCF_WIDTH};
    column.cx = 100;
    ListView_InsertColumn(RichTextBox1, 0, &column);
    SetWindowSubclass(RichTextBox1, RichTextBox1Proc, 0, reinterpret_cast<DWORD_PTR>(this));
    return RichTextBox1 != nullptr;
}

void MonitorPage::Layout(int W, int H, UINT dpi) {
    layout::MonitorTab t = layout::LayoutMonitorTab(W, H, Picture3Height);
    PlaceInFrame(Picture3, t.Picture3, dpi);
    PlaceInFrame(RichTextBox1, t.RichTextBox1, dpi);
}

bool MonitorPage::OnCommand(int id, int code, HWND) {
    switch (id) {
    case ID_menu复制:
        return menu复制_Click(), true;
    case ID_menu全选:
        return menu全选_Click(), true;
    case ID_menu保存日志:
        return menu保存日志_Click(), true;
    case ID_menu清空日志:
        return menu清空日志_Click(), true;
    }
    if (code != BN_CLICKED) return false;
    if (id == IDC_Command7) {
        Command7_Click();
        return true;
    }
    if (id == IDC_Command9) {
        Command9_Click();
        return true;
    }
    return false;
}

HWND MonitorPage::MainWindow() const {
    return GetAncestor(hwnd(), GA_ROOT);
}

void MonitorPage::Command7_Click() {
    if (monitoring_) return;
    std::wstring status = platform::GetText(Label3);
    monitoring_ = true;
    SetWindowTextW(Label3, L"监视已经启动");
    HWND main = MainWindow();
    if (!SubClass(main, this)) {
        // The message box has said why; only "停止监视" leads on from here.
        log_.Replace(L"正在工作...");
        lineWidth_ = 0;
        ShowLog(0);
        return;
    }
    subclassed_ = main;
    if (RegisterShellNotify(main)) return;
    // Without the shell's notifications nothing would ever be logged: say so rather than show "started".
    UnSubClass(main);
    subclassed_ = nullptr;
    monitoring_ = false;
    SetWindowTextW(Label3, status.c_str());
    MessageBoxW(main, L"系统拒绝了文件变动通知的注册，监视没有启动。", core::ApplicationTitle,
                MB_OK | MB_ICONERROR);
}

void MonitorPage::Command9_Click() {
    if (!monitoring_) return;
    DeregisterShellNotify();
    // Only our own subclass is removed: after a refused start the window may carry someone else's.
    if (subclassed_) UnSubClass(subclassed_);
    subclassed_ = nullptr;
    monitoring_ = false;
    SetWindowTextW(Label3, L"监视已经停止");
}

void MonitorPage::NotificationReceipt(WPARAM wp, LPARAM lp) {
    Notification n;
    n.event = static_cast<std::uint32_t>(lp);
    PCIDLIST_ABSOLUTE items[2] = {};
    if (wp) std::memcpy(items, reinterpret_cast<const void*>(wp), sizeof items);
    if (n.event == SHCNE_UPDATEIMAGE_ID || n.event == SHCNE_FREESPACE_ID) {
        n.number = CarriedNumber(items[0]);
    } else {
        n.first = Names(items[0]);
        n.second = Names(items[1]);
    }
    std::wstring text = EntryText(LocalTimeText(), n);
    const size_t droppedBefore = log_.LinesDropped(), topBefore = log_.TopLines();
    if (!log_.Add(text)) return;
    // How far the lines already shown moved up: those of the entries that went, less the lines that
    // came above them to count them.
    ShowLog(log_.LinesDropped() - droppedBefore - (log_.TopLines() - topBefore));
    if (!flashOn_) SetFlashTimer(true, flashInterval_);
}

void MonitorPage::ShowLog(size_t shift) {
    HWND list = RichTextBox1;
    const int count = static_cast<int>(log_.LineCount());
    const int shown = ListView_GetItemCount(list);
    const int top = ListView_GetTopIndex(list);
    if (shown == 0 || top + ListView_GetCountPerPage(list) >= shown) followEnd_ = true;

    // The column is as wide as the widest line, so that a long path can be scrolled to.
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    // The new lines: all of them when the log was replaced.
    for (int i = count < shown ? 0 : shown - static_cast<int>(shift); i < count; ++i) {
        const std::wstring& line = log_.Line(static_cast<size_t>(i));
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        lineWidth_ = std::max<int>(lineWidth_, size.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    const int width = lineWidth_ + 2 * GetSystemMetrics(SM_CXEDGE) + 12;
    if (width > ListView_GetColumnWidth(list, 0) || count < shown) ListView_SetColumnWidth(list, 0, width);

    // A selection by row number would now mark other lines. (Clearing it row by row when there is
    // none would cost a notification for each of tens of thousands of rows.)
    if (shift || count < shown) {
        if (ListView_GetSelectedCount(list) > 0) ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
        if (focused >= 0) ListView_SetItemState(list, focused, 0, LVIS_FOCUSED);
    }
    const bool onlyAdded = !shift && count >= shown;
    ListView_SetItemCountEx(list, count, onlyAdded ? LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL : 0);
    if (shift && !followEnd_) {
        // The lines in view stay in view.
        RECT row{};
        if (ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS))
            ListView_Scroll(list, 0,
                            -static_cast<int>(std::min<size_t>(shift, top)) * (row.bottom - row.top));
    }
    // Scrolling waits: a burst of entries scrolls once.
    if (!drawPending_ && hwnd()) drawPending_ = SetTimer(hwnd(), DrawLogTimerId, DrawLogDelay, nullptr) != 0;
    if (!drawPending_) DrawLog();
}

void MonitorPage::DrawLog() {
    if (hwnd()) KillTimer(hwnd(), DrawLogTimerId);
    drawPending_ = false;
    const int count = ListView_GetItemCount(RichTextBox1);
    if (followEnd_ && count > 0) ListView_EnsureVisible(RichTextBox1, count - 1, FALSE);
    followEnd_ = false;
}

void MonitorPage::menu复制_Click() {
    // The selection is read once, row by row, and each run of selected rows taken as one piece of the
    // log: asking the list for the next selected row each time grows with the rows squared.
    const int count = ListView_GetItemCount(RichTextBox1);
    std::wstring text;
    if (count > 0 && ListView_GetSelectedCount(RichTextBox1) == static_cast<UINT>(count)) {
        text = log_.Text();
    } else {
        for (int i = 0; i < count;) {
            int end = i;
            while (end < count && ListView_GetItemState(RichTextBox1, end, LVIS_SELECTED))
                ++end;
            if (end > i) text += log_.Text(static_cast<size_t>(i), static_cast<size_t>(end - i));
            i = end + 1;
        }
    }
    if (!text.empty()) CopyText(hwnd(), text);
}

void MonitorPage::menu全选_Click() {
    ListView_SetItemState(RichTextBox1, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void MonitorPage::menu清空日志_Click() {
    log_.Replace({});
    lineWidth_ = 0;
    ShowLog(0);
}

void MonitorPage::menu保存日志_Click() {
    std::wstring file = L"监视记录.txt";
    file.resize(32768);
    OPENFILENAMEW ofn{sizeof ofn};
    ofn.hwndOwner = MainWindow();
    ofn.lpstrFilter = L"文本文件 (*.txt)\0*.txt\0所有文件 (*.*)\0*.*\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = L"保存日志";
    ofn.lpstrDefExt = L"txt";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (GetSaveFileNameW(&ofn)) SaveLog(file.c_str());
}

bool MonitorPage::SaveLog(const std::wstring& path) {
    const std::string bytes = Utf8WithBom(log_.Text());
    DWORD error = platform::WriteWholeFile(path, [&](HANDLE file) -> DWORD {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
            return GetLastError();
        return written == bytes.size() ? 0 : ERROR_WRITE_FAULT;
    });
    if (error)
        platform::Message(MainWindow(), L"无法保存日志：" + path + L"\n" + platform::ErrorText(error),
                          MB_OK | MB_ICONERROR);
    return !error;
}

void MonitorPage::RichTextBox1_ContextMenu(LPARAM screenPoint) {
    POINT at{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    if (screenPoint == -1) { // from the keyboard: at the focused line, else the list's corner
        RECT r{};
        int focused = ListView_GetNextItem(RichTextBox1, -1, LVNI_FOCUSED);
        if (focused < 0 || !ListView_GetItemRect(RichTextBox1, focused, &r, LVIR_BOUNDS))
            GetClientRect(RichTextBox1, &r);
        at = {r.left, r.bottom};
        ClientToScreen(RichTextBox1, &at);
    }
    HMENU menu = GetSubMenu(popups_.get(), POPUP_LOG);
    const bool any = log_.LineCount() > 0;
    const bool selected = ListView_GetSelectedCount(RichTextBox1) > 0;
    EnableMenuItem(menu, ID_menu复制, MF_BYCOMMAND | (selected ? MF_ENABLED : MF_GRAYED));
    for (int id : {ID_menu全选, ID_menu保存日志, ID_menu清空日志})
        EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (any ? MF_ENABLED : MF_GRAYED));
    int id = static_cast<int>(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
                                             at.y, 0, hwnd(), nullptr));
    if (id) OnCommand(id, 0, nullptr);
}

LRESULT CALLBACK MonitorPage::RichTextBox1Proc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                               DWORD_PTR self) {
    auto* page = reinterpret_cast<MonitorPage*>(self);
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    switch (msg) {
    case WM_CONTEXTMENU:
        page->RichTextBox1_ContextMenu(lp);
        return 0;
    case WM_KEYDOWN:
        if (ctrl && wp == 'A') return page->menu全选_Click(), 0;
        if (ctrl && (wp == 'C' || wp == VK_INSERT)) return page->menu复制_Click(), 0;
        if (wp == VK_APPS) return page->RichTextBox1_ContextMenu(-1), 0;
        break;
    case WM_SYSKEYDOWN:
        if (wp == VK_F10 && shift) return page->RichTextBox1_ContextMenu(-1), 0;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        // The menu came with the key's press, not again with its release.
        if (wp == VK_APPS || (wp == VK_F10 && shift)) return 0;
        break;
    case WM_CHAR:
        if (ctrl) return 0; // no search for the letters of Ctrl+A and Ctrl+C
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(list, RichTextBox1Proc, 0);
        break;
    }
    return DefSubclassProc(list, msg, wp, lp);
}

void MonitorPage::SetFlashTimer(bool on, UINT interval) {
    flashInterval_ = interval;
    flashOn_ = on;
    if (!hwnd()) return;
    if (on)
        SetTimer(hwnd(), FlashTimerId, interval, nullptr);
    else
        KillTimer(hwnd(), FlashTimerId);
}

void MonitorPage::tmrFlashMe_Timer() {
    if (flashCounter_ == 0) SetFlashTimer(flashOn_, 200);
    ++flashCounter_;
    FlashWindow(MainWindow(), TRUE);
    if (flashCounter_ == FlashSteps) {
        flashCounter_ = 0;
        SetFlashTimer(false, 1);
    }
}

LRESULT MonitorPage::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == FlashTimerId) {
        tmrFlashMe_Timer();
        return 0;
    }
    if (msg == WM_TIMER && wp == DrawLogTimerId) {
        DrawLog();
        return 0;
    }
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->hwndFrom == RichTextBox1 &&
        reinterpret_cast<NMHDR*>(lp)->code == LVN_GETDISPINFOW) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lp)->item;
        if ((item.mask & LVIF_TEXT) && item.iItem >= 0 && static_cast<size_t>(item.iItem) < log_.LineCount())
            item.pszText = const_cast<wchar_t*>(log_.Line(static_cast<size_t>(item.iItem)).c_str());
        return 0;
    }
    return TabPage::HandleMessage(msg, wp, lp);
}

} // namespace monitor
