// The registration for change notifications, the names of shell items, and the monitor's window
// procedure in its chain with the tray's.
#include "app/tray.h"
#include "monitor/shell_notify.h"
#include "monitor/sub_class.h"
#include "tests/monitor/monitor_window.h"
#include "tests/support/message_boxes.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <shlobj.h>

using namespace monitor;

namespace {

struct CountingSink : NotificationSink {
    int count = 0;
    LPARAM last = 0;
    void NotificationReceipt(WPARAM, LPARAM lp) override {
        ++count;
        last = lp;
    }
};

WNDPROC ProcOf(HWND w) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w, GWLP_WNDPROC));
}

std::wstring Hex(HWND w) {
    wchar_t text[24];
    swprintf(text, 24, L"%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)));
    return text;
}

} // namespace

TEST(ShellNotify, OneRegistrationAtATime) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    test::TempFolder temp;
    test::MonitorWindow w;
    CountingSink sink;
    ASSERT_TRUE(SubClass(w.hwnd(), &sink));

    ASSERT_TRUE(RegisterShellNotify(w.hwnd()));
    EXPECT_FALSE(RegisterShellNotify(w.hwnd()));
    EXPECT_TRUE(ShellNotifyRegistered());
    // The first registration is still in force: the shell's announcement of a new folder arrives.
    std::wstring folder = temp.path() + L"\\新建文件夹";
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr), ERROR_SUCCESS);
    test::Pump(5000, [&] { return sink.count > 0; });
    EXPECT_GE(sink.count, 1);
    EXPECT_EQ(sink.last, SHCNE_MKDIR);

    EXPECT_TRUE(DeregisterShellNotify());
    EXPECT_FALSE(DeregisterShellNotify());
    EXPECT_FALSE(ShellNotifyRegistered());
    int before = sink.count;
    RemoveDirectoryW(folder.c_str());
    SHChangeNotify(SHCNE_RMDIR, SHCNF_PATHW, folder.c_str(), nullptr);
    test::Pump(300);
    EXPECT_EQ(sink.count, before);
    EXPECT_TRUE(UnSubClass(w.hwnd()));
}

TEST(ShellNotify, NamesAndPathsOfItems) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    test::TempFolder temp;
    std::wstring file = temp.path() + L"\\说明.txt";
    test::TempFolder::Write(file, "x");
    UniqueIdList item(ILCreateFromPathW(file.c_str()));
    ASSERT_TRUE(item);
    EXPECT_EQ(IDListPath(item.get()), file);
    EXPECT_NE(IDListDisplayName(item.get()).find(L"说明"), std::wstring::npos);

    // A virtual folder has a name and no path.
    UniqueIdList controls = SpecialFolderIDList(nullptr, CSIDL_CONTROLS);
    ASSERT_TRUE(controls);
    EXPECT_FALSE(IDListDisplayName(controls.get()).empty());
    EXPECT_EQ(IDListPath(controls.get()), L"");

    EXPECT_TRUE(SpecialFolderIDList(nullptr, CSIDL_DESKTOP));
    EXPECT_EQ(IDListDisplayName(nullptr), L"");
    EXPECT_EQ(IDListPath(nullptr), L"");
}

TEST(SubClass, StandsInFrontOfTheTraysProcedureAndGivesItBack) {
    test::MessageBoxes boxes;
    test::MonitorWindow w;
    app::AddTrayIcon(w.hwnd(), nullptr); // the procedure is installed even where no notification area exists
    ASSERT_EQ(ProcOf(w.hwnd()), &app::TrayWindowProc);

    CountingSink sink;
    ASSERT_TRUE(SubClass(w.hwnd(), &sink));
    EXPECT_EQ(ProcOf(w.hwnd()), &WndProc);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetPropW(w.hwnd(), L"OldWndProc")), &app::TrayWindowProc);

    // The notification reaches the sink once and then goes on through the tray's procedure to the window's
    // own.
    EXPECT_EQ(SendMessageW(w.hwnd(), WM_SHELLNOTIFY, 0, SHCNE_CREATE), 0);
    EXPECT_EQ(sink.count, 1);
    EXPECT_EQ(w.notificationsSeen, 1);
    // The tray's messages still reach the tray's procedure: a click on the icon shows the window.
    ShowWindow(w.hwnd(), SW_HIDE);
    SendMessageW(w.hwnd(), app::TRAY_CALLBACK_MESSAGE, 0, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(w.hwnd()));

    // A second subclass is refused with the error box; the first goes on working.
    CountingSink other;
    EXPECT_FALSE(SubClass(w.hwnd(), &other));
    ASSERT_EQ(boxes.Texts(),
              std::vector<std::wstring>{L"Unable to successfully subclass &H" + Hex(w.hwnd())});
    EXPECT_EQ(boxes.Captions(), std::vector<std::wstring>{L"Tavolin(Quorvel)"});
    EXPECT_TRUE(boxes.AllWithErrorIcon());
    SendMessageW(w.hwnd(), WM_SHELLNOTIFY, 0, SHCNE_DELETE);
    EXPECT_EQ(sink.count, 2);
    EXPECT_EQ(other.count, 0);
    EXPECT_EQ(w.notificationsSeen, 2);

    EXPECT_TRUE(UnSubClass(w.hwnd()));
    EXPECT_EQ(ProcOf(w.hwnd()), &app::TrayWindowProc);
    EXPECT_EQ(GetPropW(w.hwnd(), L"OldWndProc"), nullptr);
    EXPECT_FALSE(UnSubClass(w.hwnd()));
    SendMessageW(w.hwnd(), WM_SHELLNOTIFY, 0, SHCNE_CREATE);
    EXPECT_EQ(sink.count, 2);
    app::RemoveTrayIcon();
    EXPECT_EQ(ProcOf(w.hwnd()), &test::MonitorWindow::OwnProc);

    // A window that does not exist cannot be subclassed.
    boxes.Clear();
    HWND gone = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(SubClass(gone, &sink));
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"Unable to successfully subclass &H" + Hex(gone)});
}

TEST(SubClass, DestroyingASubclassedWindowSaysSoAndStillReachesItsProcedure) {
    test::MessageBoxes boxes;
    test::MonitorWindow w;
    CountingSink sink;
    ASSERT_TRUE(SubClass(w.hwnd(), &sink));
    HWND handle = w.hwnd();
    DestroyWindow(handle);
    EXPECT_TRUE(w.ncDestroySeen);
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"Unubclassed &H" + Hex(handle)});
    EXPECT_EQ(boxes.Captions(), std::vector<std::wstring>{L"WndProc Error"});
    EXPECT_TRUE(boxes.AllWithErrorIcon());
}
