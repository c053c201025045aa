#include "monitor/monitor_page.h"

#include "core/identity.h"
#include "monitor/shell_events.h"
#include "monitor/shell_notify.h"

#include <commctrl.h>
#include <richedit.h>

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

} // namespace

MonitorPage::MonitorPage() : logged_(&FoldCase) {}

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
    LoadLibraryW(L"Msftedit.dll");
    RichTextBox1 = Add(hwnd(), IDC_RichTextBox1, MSFTEDIT_CLASS, L"",
                       WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                       {330, 520, 8000, 3000}, WS_EX_CLIENTEDGE);
    platform::SetAccessibleName(RichTextBox1, L"监视记录");
    // The log has no cap; without this a rich edit control stops taking text at 32,767 characters.
    SendMessageW(RichTextBox1, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    return RichTextBox1 != nullptr;
}

void MonitorPage::Layout(int W, int H, UINT dpi) {
    layout::MonitorTab t = layout::LayoutMonitorTab(W, H, Picture3Height);
    PlaceInFrame(Picture3, t.Picture3, dpi);
    PlaceInFrame(RichTextBox1, t.RichTextBox1, dpi);
}

bool MonitorPage::OnCommand(int id, int code, HWND) {
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
        SetWindowTextW(RichTextBox1, L"正在工作...");
        logged_.Clear();
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
    if (!logged_.Add(text)) return;
    AppendToLog(text + EntrySeparator);
    if (!flashOn_) SetFlashTimer(true, flashInterval_);
}

void MonitorPage::AppendToLog(const std::wstring& text) {
    // Only the new text is laid out: an empty selection at the end is replaced by the entry. The
    // control stays undrawn until DrawLog, since drawing may cost more than the entry itself.
    SendMessageW(RichTextBox1, WM_SETREDRAW, FALSE, 0);
    SendMessageW(RichTextBox1, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    SendMessageW(RichTextBox1, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(RichTextBox1, EM_SCROLLCARET, 0, 0);
    if (!drawPending_ && hwnd()) drawPending_ = SetTimer(hwnd(), DrawLogTimerId, DrawLogDelay, nullptr) != 0;
    if (!drawPending_) DrawLog();
}

void MonitorPage::DrawLog() {
    if (hwnd()) KillTimer(hwnd(), DrawLogTimerId);
    drawPending_ = false;
    SendMessageW(RichTextBox1, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(RichTextBox1, nullptr, FALSE);
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
    return TabPage::HandleMessage(msg, wp, lp);
}

} // namespace monitor
