// The monitor tab on a window standing in for the main window: starting and stopping, the log's
// entries for the shell's own announcements and for hand-made messages, duplicates, flashing.
#include "app/tray.h"
#include "monitor/shell_notify.h"
#include "tests/monitor/monitor_window.h"
#include "tests/support/message_boxes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/user_input.h"
#include "tests/wallpaper/test_pictures.h"

#include <algorithm>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

using namespace monitor;

namespace {

WNDPROC ProcOf(HWND w) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w, GWLP_WNDPROC));
}

void Click(HWND button) {
    test::Press(button);
}

size_t Count(const std::wstring& text, const std::wstring& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

// Waits for the start of a new second, so that what follows falls within one second.
void StartOfSecond() {
    SYSTEMTIME a, b;
    GetLocalTime(&a);
    do {
        Sleep(2);
        GetLocalTime(&b);
    } while (b.wSecond == a.wSecond);
}

// Delivers a notification the way the shell does: wParam points at the two item pointers.
LRESULT Deliver(HWND window, LONG event, const void* first, const void* second = nullptr) {
    const void* items[2] = {first, second};
    return SendMessageW(window, WM_SHELLNOTIFY, reinterpret_cast<WPARAM>(items), event);
}

// The item the shell uses to carry a number: size field, the number, a second number, the end mark.
struct NumberItem {
    USHORT cb = 10;
    BYTE number[4];
    BYTE second[4] = {};
    USHORT end = 0;
    explicit NumberItem(DWORD n) { memcpy(number, &n, 4); }
};
static_assert(offsetof(NumberItem, number) == 2);

class MonitorPageTest : public ::testing::Test {
  protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    std::wstring Log() { return test::LogText(w.page->RichTextBox1); }
    std::wstring Status() { return platform::GetText(w.page->Label3); }
    // Waits until the log holds `part`.
    bool LogHolds(const std::wstring& part) {
        test::Pump(5000, [&] { return Log().find(part) != std::wstring::npos; });
        return Log().find(part) != std::wstring::npos;
    }

    test::MessageBoxes boxes;
    test::TempFolder temp;
    test::MonitorWindow w;
};

} // namespace

TEST_F(MonitorPageTest, StartAndStopSetTheStatusAndTheWindowsProcedure) {
    app::AddTrayIcon(w.hwnd(), nullptr);
    EXPECT_EQ(Status(), L"监视尚未启动");
    Click(w.page->Command9);
    EXPECT_EQ(Status(), L"监视尚未启动");
    EXPECT_FALSE(w.page->Monitoring());

    Click(w.page->Command7);
    EXPECT_EQ(Status(), L"监视已经启动");
    EXPECT_TRUE(w.page->Monitoring());
    EXPECT_EQ(ProcOf(w.hwnd()), &WndProc);
    EXPECT_TRUE(ShellNotifyRegistered());
    // A second press changes nothing (and does not try to subclass again).
    Click(w.page->Command7);
    EXPECT_EQ(ProcOf(w.hwnd()), &WndProc);

    Click(w.page->Command9);
    EXPECT_EQ(Status(), L"监视已经停止");
    EXPECT_FALSE(w.page->Monitoring());
    EXPECT_EQ(ProcOf(w.hwnd()), &app::TrayWindowProc);
    EXPECT_FALSE(ShellNotifyRegistered());

    // The exit path with monitoring on: the monitor stops first, then the tray gives the window
    // its own procedure back, and the window goes without a message box.
    Click(w.page->Command7);
    ASSERT_EQ(ProcOf(w.hwnd()), &WndProc);
    w.page->Command9_Click();
    app::RemoveTrayIcon();
    EXPECT_EQ(ProcOf(w.hwnd()), &test::MonitorWindow::OwnProc);
    DestroyWindow(w.hwnd());
    EXPECT_TRUE(w.ncDestroySeen);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(MonitorPageTest, APageThatGoesWhileMonitoringTakesItsProcedureAlong) {
    Click(w.page->Command7);
    ASSERT_EQ(ProcOf(w.hwnd()), &WndProc);
    w.page.reset();
    EXPECT_EQ(ProcOf(w.hwnd()), &test::MonitorWindow::OwnProc);
    EXPECT_FALSE(ShellNotifyRegistered());
    DestroyWindow(w.hwnd());
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(MonitorPageTest, ShellOperationsAreLoggedWhileMonitoring) {
    Click(w.page->Command7);
    std::wstring folder = temp.path() + L"\\新建文件夹";
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_TRUE(LogHolds(L"SHCNE_MKDIR"));
    std::wstring log = Log();
    ASSERT_EQ(log.front(), L'[');
    EXPECT_NE(log.find(L"] SHCNE_MKDIR\r\n名称I: 新建文件夹\r\n路径I: " + folder + L"\r\n\r\n"),
              std::wstring::npos)
        << log;
    // The head line carries the user's short date.
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t date[96];
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 96, nullptr);
    EXPECT_EQ(log.rfind(L"[" + std::wstring(date) + L" ", 0), 0u) << log;

    // A copy made by the shell's file operation.
    std::wstring source = temp.path() + L"\\a.txt", copy = folder + L"\\a.txt";
    test::TempFolder::Write(source, "abc");
    std::wstring from = source + L'\0', to = folder + L'\0';
    SHFILEOPSTRUCTW op{nullptr, FO_COPY, from.c_str(), to.c_str(), FOF_NO_UI};
    ASSERT_EQ(SHFileOperationW(&op), 0);
    ASSERT_TRUE(LogHolds(L"路径I: " + copy + L"\r\n"));
    EXPECT_NE(Log().find(L"] SHCNE_CREATE\r\n名称I: a.txt\r\n路径I: " + copy), std::wstring::npos) << Log();

    // After stopping nothing more is logged.
    Click(w.page->Command9);
    std::wstring before = Log();
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, (temp.path() + L"\\later").c_str(), nullptr), ERROR_SUCCESS);
    test::Pump(300);
    EXPECT_EQ(Log(), before);
}

TEST_F(MonitorPageTest, HandMadeMessagesWithNumbersMissingAndUnnamedItems) {
    Click(w.page->Command7);
    // A message without items at all, and one whose item pointers are both empty.
    EXPECT_EQ(SendMessageW(w.hwnd(), WM_SHELLNOTIFY, 0, SHCNE_CREATE), 0);
    Deliver(w.hwnd(), 0x3, nullptr);
    NumberItem image(42), drives(0xC);
    Deliver(w.hwnd(), SHCNE_UPDATEIMAGE, &image);
    Deliver(w.hwnd(), SHCNE_FREESPACE, &drives);
    Deliver(w.hwnd(), SHCNE_FREESPACE, nullptr);
    // Items of kinds the shell does not know.
    BYTE unknown[] = {6, 0, 0xEE, 0xEE, 0xEE, 0xEE, 0, 0};
    BYTE empty[] = {0, 0};
    Deliver(w.hwnd(), SHCNE_DELETE, unknown, unknown);
    std::wstring log = Log();
    EXPECT_NE(log.find(L"] SHCNE_CREATE\r\n\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L"] \r\n\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L"] SHCNE_UPDATEIMAGE\r\nIndex of image in system imagelist: 42\r\n\r\n"),
              std::wstring::npos)
        << log;
    EXPECT_NE(log.find(L"] SHCNE_FREESPACE\r\nC:\\\r\nD:\\\r\n\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L"] SHCNE_FREESPACE\r\n\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L"] SHCNE_DELETE\r\nfirst item is invalid\r\nsecond item is invalid\r\n\r\n"),
              std::wstring::npos)
        << log;
    // The desktop itself (the empty list) has a name.
    Deliver(w.hwnd(), SHCNE_UPDATEDIR, empty);
    EXPECT_EQ(Count(Log(), L"] SHCNE_UPDATEDIR\r\n名称I: "), 1u) << Log();
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(MonitorPageTest, TheSameEntryWithinASecondIsLoggedOnceAndDoesNotFlash) {
    Click(w.page->Command7);
    UniqueIdList upper(SHSimpleIDListFromPath((temp.path() + L"\\Dup\\Ünïcode.TXT").c_str()));
    UniqueIdList lower(SHSimpleIDListFromPath((temp.path() + L"\\dup\\ünïcode.txt").c_str()));
    ASSERT_TRUE(upper && lower);
    StartOfSecond();
    Deliver(w.hwnd(), SHCNE_CREATE, upper.get());
    ASSERT_TRUE(w.page->FlashTimerEnabled());
    for (int i = 0; i < 6; ++i)
        w.page->tmrFlashMe_Timer();
    ASSERT_FALSE(w.page->FlashTimerEnabled());
    Deliver(w.hwnd(), SHCNE_CREATE, upper.get());
    Deliver(w.hwnd(), SHCNE_CREATE, lower.get());
    EXPECT_EQ(Count(Log(), L"SHCNE_CREATE"), 1u) << Log();
    EXPECT_FALSE(w.page->FlashTimerEnabled());
    // Another event on the same item is another entry.
    Deliver(w.hwnd(), SHCNE_DELETE, lower.get());
    EXPECT_EQ(Count(Log(), L"SHCNE_DELETE"), 1u);
}

TEST_F(MonitorPageTest, EntriesGoAtTheEndWhateverTheSelectionAndTheLogHasNoCap) {
    Click(w.page->Command7);
    const int entries = 800;
    std::wstring base = temp.path() + L"\\a folder with a fairly long name for the log\\file ";
    for (int i = 0; i < entries; ++i) {
        UniqueIdList item(SHSimpleIDListFromPath((base + std::to_wstring(i) + L".txt").c_str()));
        Deliver(w.hwnd(), SHCNE_CREATE, item.get());
        // The user clicked somewhere in the log.
        if (i % 100 == 0)
            ListView_SetItemState(w.page->RichTextBox1, 0, LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
    }
    std::wstring log = Log();
    EXPECT_GT(log.size(), 70000u);
    // Far below the entries the log keeps, so nothing has gone from its top.
    EXPECT_EQ(w.page->Log().Dropped(), 0u);
    EXPECT_EQ(Count(log, L"] SHCNE_CREATE\r\n"), static_cast<size_t>(entries));
    std::wstring last = L"路径I: " + base + std::to_wstring(entries - 1) + L".txt\r\n\r\n";
    EXPECT_EQ(log.substr(log.size() - last.size()), last);
    EXPECT_LT(log.find(base + L"0.txt"), log.find(base + L"1.txt"));
}

TEST_F(MonitorPageTest, EachNewEntryFlashesSixStepsThenTheTimerStops) {
    Click(w.page->Command7);
    UniqueIdList a(SHSimpleIDListFromPath((temp.path() + L"\\a.txt").c_str()));
    UniqueIdList b(SHSimpleIDListFromPath((temp.path() + L"\\b.txt").c_str()));
    UniqueIdList c(SHSimpleIDListFromPath((temp.path() + L"\\c.txt").c_str()));
    HWND page = w.page->hwnd();
    int ticks = 0;
    auto countTicks = [&](const MSG& m) {
        ticks += m.hwnd == page && m.message == WM_TIMER && m.wParam == MonitorPage::FlashTimerId;
    };
    auto stopped = [&] { return !w.page->FlashTimerEnabled(); };

    Deliver(w.hwnd(), SHCNE_CREATE, a.get());
    EXPECT_TRUE(w.page->FlashTimerEnabled());
    EXPECT_EQ(w.page->FlashInterval(), 100u);
    test::Pump(5000, stopped, countTicks);
    EXPECT_EQ(ticks, 6);
    EXPECT_EQ(w.page->FlashCounter(), 0);
    EXPECT_EQ(w.page->FlashInterval(), 1u);

    // An entry in the middle of a sequence does not start its count again.
    ticks = 0;
    Deliver(w.hwnd(), SHCNE_CREATE, b.get());
    test::Pump(
        5000, [&] { return w.page->FlashCounter() >= 3; }, countTicks);
    Deliver(w.hwnd(), SHCNE_CREATE, c.get());
    test::Pump(5000, stopped, countTicks);
    EXPECT_EQ(ticks, 6);
    EXPECT_EQ(Count(Log(), L"SHCNE_CREATE"), 3u);
}

TEST_F(MonitorPageTest, AStartThatCannotSubclassSaysSoAndLeavesTheOtherSubclass) {
    struct Other : NotificationSink {
        void NotificationReceipt(WPARAM, LPARAM) override {}
    } other;
    ASSERT_TRUE(SubClass(w.hwnd(), &other));
    Click(w.page->Command7);
    EXPECT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(Log(), L"正在工作...\r\n");
    EXPECT_EQ(Status(), L"监视已经启动");
    EXPECT_TRUE(w.page->Monitoring());
    EXPECT_FALSE(ShellNotifyRegistered());
    Click(w.page->Command9);
    EXPECT_EQ(Status(), L"监视已经停止");
    EXPECT_EQ(ProcOf(w.hwnd()), &WndProc);
    EXPECT_TRUE(UnSubClass(w.hwnd()));
}

TEST_F(MonitorPageTest, AStartTheShellRefusesSaysSoAndLeavesMonitoringOff) {
    // The one registration the process may hold is taken already.
    test::MonitorWindow other;
    ASSERT_TRUE(RegisterShellNotify(other.hwnd()));
    Click(w.page->Command7);
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"系统拒绝了文件变动通知的注册，监视没有启动。"});
    EXPECT_TRUE(boxes.AllWithErrorIcon());
    EXPECT_FALSE(w.page->Monitoring());
    EXPECT_EQ(Status(), L"监视尚未启动");
    EXPECT_EQ(ProcOf(w.hwnd()), &test::MonitorWindow::OwnProc);
    EXPECT_TRUE(DeregisterShellNotify());
    Click(w.page->Command7);
    EXPECT_TRUE(w.page->Monitoring());
    EXPECT_TRUE(ShellNotifyRegistered());
}

namespace {

std::wstring Clipboard() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

bool NoTemporaryFileIn(const std::wstring& folder) {
    return std::ranges::none_of(test::FilesIn(folder),
                                [](const std::wstring& n) { return n.ends_with(L".tmp"); });
}

} // namespace

TEST_F(MonitorPageTest, TheLogsKeysAndMenuSelectCopyAndClear) {
    ShowWindow(w.hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(w.hwnd());
    Click(w.page->Command7);
    for (const wchar_t* name : {L"\\a.txt", L"\\b.txt"}) {
        UniqueIdList item(SHSimpleIDListFromPath((temp.path() + name).c_str()));
        Deliver(w.hwnd(), SHCNE_CREATE, item.get());
    }
    HWND log = w.page->RichTextBox1;
    SetFocus(log);
    test::PressKeysAndPump(w.hwnd(), {VK_CONTROL, 'A'});
    EXPECT_EQ(ListView_GetSelectedCount(log), 8u);
    test::PressKeysAndPump(w.hwnd(), {VK_CONTROL, 'C'});
    EXPECT_EQ(Clipboard(), Log());

    // Shift+F10 opens the menu at the line; from its foot, up past "清空日志", "保存日志..." and "全选"
    // to "复制", which copies the one line selected.
    ListView_SetItemState(log, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(log, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    test::PressKeys({VK_SHIFT, VK_F10});
    for (int i = 0; i < 4; ++i)
        test::PressKeys({VK_UP});
    test::PressKeysAndPump(w.hwnd(), {VK_RETURN});
    EXPECT_EQ(Clipboard(), L"名称I: a.txt\r\n");
    // Two runs of rows, each taken whole.
    for (int i : {2, 5})
        ListView_SetItemState(log, i, LVIS_SELECTED, LVIS_SELECTED);
    w.page->menu复制_Click();
    EXPECT_EQ(Clipboard(), w.page->Log().Text(1, 2) + w.page->Log().Text(5, 1));

    // The menu key, then "清空日志" at the foot.
    test::PressKeys({VK_APPS});
    test::PressKeys({VK_UP});
    test::PressKeysAndPump(w.hwnd(), {VK_RETURN});
    EXPECT_EQ(Log(), L"");
    EXPECT_EQ(w.page->Log().Entries(), 0u);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(MonitorPageTest, TheNewestEntriesAreKeptSavedWholeAndAFailedSaveLeavesNothing) {
    Click(w.page->Command7);
    // More entries than the log keeps: the oldest chunk went, and the line at the top says so.
    const size_t entries = LogKeep + LogChunk;
    for (size_t i = 0; i < entries; ++i) {
        UniqueIdList item(
            SHSimpleIDListFromPath((temp.path() + L"\\记录 " + std::to_wstring(i) + L".txt").c_str()));
        Deliver(w.hwnd(), SHCNE_CREATE, item.get());
    }
    test::Pump(300);
    HWND list = w.page->RichTextBox1;
    std::wstring log = Log();
    EXPECT_EQ(log.rfind(DroppedLine(LogChunk) + L"\r\n\r\n[", 0), 0u) << log.substr(0, 200);
    EXPECT_EQ(w.page->Log().Entries(), LogKeep);
    EXPECT_EQ(log.find(L"记录 " + std::to_wstring(LogChunk - 1) + L".txt"), std::wstring::npos);
    EXPECT_NE(log.find(L"记录 " + std::to_wstring(LogChunk) + L".txt"), std::wstring::npos);
    // The view followed the entries to the end.
    EXPECT_GE(ListView_GetTopIndex(list) + ListView_GetCountPerPage(list), ListView_GetItemCount(list) - 1);

    // Saved over an older file, as UTF-8 with a byte order mark, line for line as shown.
    const std::wstring file = temp.path() + L"\\监视记录.txt";
    test::TempFolder::Write(file, "an older log");
    ASSERT_TRUE(w.page->SaveLog(file));
    std::string utf8(
        WideCharToMultiByte(CP_UTF8, 0, log.c_str(), int(log.size()), nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, log.c_str(), int(log.size()), utf8.data(), int(utf8.size()), nullptr,
                        nullptr);
    EXPECT_TRUE(test::ReadBytes(file) == "\xEF\xBB\xBF" + utf8);
    EXPECT_TRUE(NoTemporaryFileIn(temp.path()));
    EXPECT_TRUE(boxes.Texts().empty());

    // Where nothing may be made: a folder that is not there and, as a standard user, one of root's.
    std::vector<std::wstring> targets = {temp.path() + L"\\没有的文件夹\\监视记录.txt"};
    const std::wstring shut = L"C:\\tavolin-fixtures\\shut";
    if (test::Exists(shut)) targets.push_back(shut + L"\\监视记录.txt");
    for (const std::wstring& target : targets) {
        EXPECT_FALSE(w.page->SaveLog(target)) << target;
        EXPECT_TRUE(NoTemporaryFileIn(target.substr(0, target.rfind(L'\\')))) << target;
        EXPECT_FALSE(test::Exists(target)) << target;
    }
    std::vector<std::wstring> texts = boxes.Texts();
    ASSERT_EQ(texts.size(), targets.size());
    for (size_t i = 0; i < targets.size(); ++i)
        EXPECT_EQ(texts[i].rfind(L"无法保存日志：" + targets[i] + L"\n", 0), 0u) << texts[i];
    EXPECT_TRUE(boxes.AllWithErrorIcon());
}
