// The desktop icon commands of a running main window: the tray and list menu items, showing the
// icons after the browser's lists are read again, and every way the window ends.
#include "res/resource.h"
#include "tests/support/main_window.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <shellapi.h>

namespace {

class DesktopCommandsTest : public test::MainWindowTest {
  protected:
    void Command(int id) { SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    std::vector<std::wstring> Items(HWND list) const {
        std::vector<std::wstring> items;
        int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            wchar_t text[MAX_PATH] = L"";
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            items.emplace_back(text);
        }
        std::sort(items.begin(), items.end());
        return items;
    }
};

} // namespace

TEST_F(DesktopCommandsTest, StartUpHidesTheIconsAndEveryMenuItemWorks) {
    EXPECT_FALSE(IconsShown());
    Command(ID_menu显示桌面图标);
    EXPECT_TRUE(IconsShown());
    Command(ID_隐藏桌面图标dfdsfds);
    EXPECT_FALSE(IconsShown());
    Command(ID_dfdsds显示桌面图标);
    EXPECT_TRUE(IconsShown());
    Command(ID_menu隐藏桌面图标);
    EXPECT_FALSE(IconsShown());
}

TEST_F(DesktopCommandsTest, ShowingTheIconsReadsTheBrowsersListsFirstEvenWhenShown) {
    std::wstring folder = temp.path() + L"\\桌面";
    CreateDirectoryW(folder.c_str(), nullptr);
    test::TempFolder::Write(folder + L"\\旧.txt", "x");
    form->browser.StartAt(folder);
    EXPECT_EQ(Items(form->browser.File2), std::vector<std::wstring>{L"旧.txt"});

    test::TempFolder::Write(folder + L"\\新.txt", "x");
    CreateDirectoryW((folder + L"\\子文件夹").c_str(), nullptr);
    Command(ID_menu显示桌面图标);
    EXPECT_EQ(Items(form->browser.File2),
              (std::vector<std::wstring>{L"新.txt", L"旧.txt"}) /* in code order */);
    EXPECT_EQ(Items(form->browser.Dir1), std::vector<std::wstring>{L"子文件夹"});
    ASSERT_TRUE(IconsShown());

    DeleteFileW((folder + L"\\新.txt").c_str());
    Command(ID_dfdsds显示桌面图标);
    EXPECT_EQ(Items(form->browser.File2), std::vector<std::wstring>{L"旧.txt"});
}

TEST_F(DesktopCommandsTest, LoggingOffShowsTheIconsAndRemovesTheTrayIcon) {
    ASSERT_FALSE(IconsShown());
    EXPECT_TRUE(SendMessageW(form->hwnd(), WM_QUERYENDSESSION, 0, 0));
    SendMessageW(form->hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(IconsShown());
    NOTIFYICONDATAW nid{sizeof nid};
    nid.hWnd = form->hwnd();
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &nid));
}

TEST_F(DesktopCommandsTest, QuittingShowsTheIcons) {
    form->autoChange.menu自动更换壁纸_Click();
    ASSERT_FALSE(IconsShown());
    Command(ID_menu退出);
    // "退出" ends through a 100 ms timer; the window's end posts the quit message.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    EXPECT_FALSE(form->hwnd());
    EXPECT_TRUE(IconsShown());
    EXPECT_FALSE(form->TimerEnabled(app::Timer1));
}
