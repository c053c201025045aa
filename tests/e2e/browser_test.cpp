// Quorvel.exe as its own process: the desktop listed on tab 0 at start-up, and the tray's "打开..." items.
#include "res/resource.h"
#include "settings/registry.h"
#include "tests/e2e/driver.h"
#include "tests/support/temp_folder.h"
#include "ui/controls.h"

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace e2e;

namespace {

using Rows = std::vector<std::vector<std::wstring>>;

std::wstring DesktopFolder() {
    return settings::GetRegistryString(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        L"Desktop");
}

const std::vector<std::wstring>* Find(const Rows& rows, const std::wstring& name) {
    for (const auto& row : rows)
        if (row[0] == name) return &row;
    return nullptr;
}

} // namespace

TEST(Browser, TheDesktopIsListedAtStartUp) {
    std::wstring desktop = DesktopFolder();
    ASSERT_FALSE(desktop.empty());
    // Our own entries on the desktop, removed afterwards.
    std::wstring tag = L"Tavolin e2e " + std::to_wstring(GetCurrentProcessId());
    struct Entries {
        std::wstring folder, file;
        ~Entries() {
            test::RemoveTree(folder);
            DeleteFileW(file.c_str());
        }
    } entries{desktop + L"\\" + tag + L" 文件夹", desktop + L"\\" + tag + L".txt"};
    CreateDirectoryW(entries.folder.c_str(), nullptr);
    test::TempFolder::Write(entries.folder + L"\\inside.bin", std::string(1500, 'x'));
    test::TempFolder::Write(entries.file, std::string(1536, 'x'));

    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    EXPECT_EQ(Text(Control(main, ui::IDC_Label2)), desktop);
    EXPECT_EQ(SendMessageW(Control(main, ui::IDC_Combo1), CB_GETCURSEL, 0, 0), 0); // "桌面"
    Rows rows = ListViewRows(Control(main, ui::IDC_ListView1), 4);
    const auto* folderRow = Find(rows, tag + L" 文件夹");
    const auto* fileRow = Find(rows, tag + L".txt");
    ASSERT_TRUE(folderRow && fileRow) << rows.size() << " rows";
    EXPECT_EQ((*folderRow)[1], L"1.50");
    EXPECT_EQ((*folderRow)[2], L"文件夹");
    EXPECT_EQ((*fileRow)[1], L"1.50");
    EXPECT_NE((*fileRow)[2], L"文件夹");
    EXPECT_EQ((*fileRow)[3].size(), 19u); // 2004-06-21 21:05:03
    EXPECT_LT(folderRow - rows.data(), fileRow - rows.data());
}

TEST(Browser, TheTraysSystemFolderItemShowsItOnTab0) {
    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    // Hidden, on another tab.
    HWND tabs = Control(main, ui::IDC_SSTab1);
    SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));

    program.Choose(ID_menu系统目录);
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_TRUE(WaitFor([&] { return Text(Control(main, ui::IDC_Label2)) == system; }))
        << Text(Control(main, ui::IDC_Label2));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(Control(main, ui::IDC_ListView1)));
    EXPECT_EQ(SendMessageW(Control(main, ui::IDC_Combo1), CB_GETCURSEL, 0, 0), 2); // "系统目录"
    Rows rows = ListViewRows(Control(main, ui::IDC_ListView1), 4);
    ASSERT_TRUE(Find(rows, L"drivers")) << rows.size() << " rows";
    EXPECT_EQ((*Find(rows, L"drivers"))[2], L"文件夹");
}
