// The desktop icon commands of a running main window: the tray and list menu items, and showing the
// icons after the browser's lists are read again. How the program's end shows them: tests/e2e.
#include "res/resource.h"
#include "tests/support/main_window.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

class DesktopCommandsTest : public test::MainWindowTest {
  protected:
    void Command(int id) { SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    static std::vector<std::wstring> Items(const std::vector<browser::FoundEntry>& list) {
        std::vector<std::wstring> items;
        for (const browser::FoundEntry& entry : list)
            items.push_back(entry.name);
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
    form->Folders().Desktop = folder;
    form->Browser().StartUp(form->Folders());
    EXPECT_EQ(Items(form->Browser().Lists().File2), std::vector<std::wstring>{L"旧.txt"});

    test::TempFolder::Write(folder + L"\\新.txt", "x");
    CreateDirectoryW((folder + L"\\子文件夹").c_str(), nullptr);
    Command(ID_menu显示桌面图标);
    EXPECT_EQ(Items(form->Browser().Lists().File2),
              (std::vector<std::wstring>{L"新.txt", L"旧.txt"}) /* in code order */);
    EXPECT_EQ(Items(form->Browser().Lists().Dir1), std::vector<std::wstring>{L"子文件夹"});
    ASSERT_TRUE(IconsShown());

    DeleteFileW((folder + L"\\新.txt").c_str());
    Command(ID_dfdsds显示桌面图标);
    EXPECT_EQ(Items(form->Browser().Lists().File2), std::vector<std::wstring>{L"旧.txt"});
}
