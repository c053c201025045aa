// Quorvel.exe started as its own process: start-up, a second start, the tray icon, closing and quitting.
#include "ui/controls.h"
#include "res/resource.h"
#include "res/version.h"
#include "settings/app_settings.h"
#include "tests/e2e/driver.h"
#include "tests/support/temp_folder.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

using namespace e2e;

namespace {

constexpr UINT TrayCallback = 0x7E9;

int CurrentTab(HWND main) {
    return static_cast<int>(SendMessageW(Control(main, ui::IDC_SSTab1), TCM_GETCURSEL, 0, 0));
}

std::vector<std::wstring> PictureList(HWND main) {
    return ListBoxItems(Control(main, ui::IDC_File1));
}

// A 2×2 24-bit bitmap, enough for a file that is a real picture.
void WriteSmallBitmap(const std::wstring& file) {
    std::string bmp = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                       0,   0,   0,  2, 0, 0, 0, 2, 0, 0, 0,  1, 0, 24, 0};
    bmp.resize(70, '\0');
    bmp[34] = 16; // image size
    for (int i = 54; i < 70; ++i)
        bmp[static_cast<size_t>(i)] = static_cast<char>(0x80);
    test::TempFolder::Write(file, bmp);
}

} // namespace

TEST(StartUp, FirstRunShowsTheMainWindowWithTitleVersionTabsAndTrayIcon) {
    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(Text(main), L"Tavolin(Quorvel)－V1.5");
    EXPECT_EQ(Text(Control(main, ui::IDC_lblVersion)), L"版本 " TAVOLIN_VERSION_TEXT);
    EXPECT_EQ(SendMessageW(Control(main, ui::IDC_SSTab1), TCM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(CurrentTab(main), 0);
    // The window that a later copy looks for carries the application title.
    HWND title = FindWindowW(L"TavolinInstanceWindow", L"Tavolin(Quorvel)");
    ASSERT_TRUE(title);
    DWORD pid = 0;
    GetWindowThreadProcessId(title, &pid);
    EXPECT_EQ(pid, program.pid());
}

TEST(StartUp, PictureFolderIsTheStoredOneElseTheDefaultElseTheProgramFolder) {
    ProgramFolder folder;
    WriteSmallBitmap(folder.path() + L"\\in program folder.bmp");
    {
        Program program(folder);
        HWND main = program.WaitUntilStarted();
        ASSERT_TRUE(main);
        EXPECT_EQ(PictureList(main), std::vector<std::wstring>{L"in program folder.bmp"});
    }
    CreateDirectoryW(folder.pictureFolder().c_str(), nullptr);
    WriteSmallBitmap(folder.pictureFolder() + L"\\默认.bmp");
    folder.Store(settings::KeyWallpaperFolder, folder.path() + L"\\deleted since");
    {
        Program program(folder);
        HWND main = program.WaitUntilStarted();
        ASSERT_TRUE(main);
        EXPECT_EQ(PictureList(main), std::vector<std::wstring>{L"默认.bmp"});
    }
    std::wstring stored = folder.path() + L"\\我的 壁纸";
    CreateDirectoryW(stored.c_str(), nullptr);
    WriteSmallBitmap(stored + L"\\b.bmp");
    WriteSmallBitmap(stored + L"\\A.bmp");
    test::TempFolder::Write(stored + L"\\notes.txt", "not a picture");
    folder.Store(settings::KeyWallpaperFolder, stored);
    {
        Program program(folder);
        HWND main = program.WaitUntilStarted();
        ASSERT_TRUE(main);
        EXPECT_EQ(PictureList(main), (std::vector<std::wstring>{L"A.bmp", L"b.bmp"}));
    }
}

TEST(StartUp, HiddenAtStartShowsOnlyTheTrayIconUntilALeftClick) {
    ProgramFolder folder;
    folder.Store(settings::KeyHideAtStart, L"1");
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(main));
    // Mouse moves and a double click's own message do not show it; the button release does.
    SendMessageW(main, TrayCallback, 0, WM_MOUSEMOVE);
    SendMessageW(main, TrayCallback, 0, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(IsWindowVisible(main));
    SendMessageW(main, TrayCallback, 0, WM_LBUTTONUP);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
    EXPECT_FALSE(IsIconic(main));
}

TEST(StartUp, StoredSettingsThatAreNotNumbersStillStart) {
    ProgramFolder folder;
    folder.Store(settings::KeyHideAtStart, L"是");
    folder.Store(settings::KeyWallpaperInterval, L"99999999999");
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    EXPECT_TRUE(IsWindowVisible(main));
}

TEST(SecondStart, LeavesExactlyOneRunningCopyAndOneTrayIcon) {
    ProgramFolder folder;
    Program first(folder);
    HWND firstMain = first.WaitUntilStarted();
    ASSERT_TRUE(firstMain);
    Program second(folder);
    HWND secondMain = second.WaitUntilStarted();
    ASSERT_TRUE(secondMain);
    EXPECT_TRUE(first.WaitForExit(10000));
    EXPECT_TRUE(second.Running());
    EXPECT_EQ(AllMainWindows(), std::vector<HWND>{secondMain});
    EXPECT_TRUE(HasTrayIcon(secondMain));
    EXPECT_FALSE(HasTrayIcon(firstMain));
}

TEST(SecondStart, WithoutATitledWindowItSaysSoAndStartsNormally) {
    // Holding the instance mutex makes the program believe an earlier copy runs.
    platform::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, L"Local\\Tavolin(Quorvel).Instance"));
    ProgramFolder folder;
    Program program(folder);
    HWND box = WaitForMessageBox(program.pid(), L"窗口不存在");
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), L"Tavolin(Quorvel)窗口不存在");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    EXPECT_EQ(Text(main), L"Tavolin(Quorvel)－V1.5");
    EXPECT_TRUE(FindWindowW(L"TavolinInstanceWindow", L"Tavolin(Quorvel)"));
}

TEST(CommandLine, AQuotedPicturePathOpensThePictureTabOnItsFolder) {
    ProgramFolder folder;
    std::wstring pictures = folder.path() + L"\\海边 照片";
    CreateDirectoryW(pictures.c_str(), nullptr);
    std::wstring picture = pictures + L"\\海 边.bmp";
    WriteSmallBitmap(picture);
    Program program(folder, L"\"" + picture + L"\"");
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    EXPECT_EQ(Text(main), L"Tavolin-" + picture);
    EXPECT_EQ(CurrentTab(main), 1);
    EXPECT_EQ(PictureList(main), std::vector<std::wstring>{L"海 边.bmp"});
}

TEST(CommandLine, AMissingFolderOrABareNameLeavesTheListWhereItWas) {
    ProgramFolder folder;
    WriteSmallBitmap(folder.path() + L"\\here.bmp");
    for (std::wstring argument : {L"Z:\\no\\such\\folder\\x.jpg", L"bare-name.jpg"}) {
        Program program(folder, L"\"" + argument + L"\"");
        HWND main = program.WaitUntilStarted();
        ASSERT_TRUE(main) << argument;
        EXPECT_TRUE(IsWindowVisible(main));
        EXPECT_EQ(Text(main), L"Tavolin-" + argument);
        EXPECT_EQ(PictureList(main), std::vector<std::wstring>{L"here.bmp"});
        EXPECT_TRUE(program.Quit());
    }
}

TEST(Closing, TheCloseBoxHidesAndQuitEndsAndRemovesTheTrayIcon) {
    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
    Sleep(300);
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(HasTrayIcon(main));
    // "显示界面" brings it back.
    program.Choose(ID_menu显示界面);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));

    program.Choose(ID_menu退出);
    EXPECT_TRUE(program.WaitForExit(10000));
    EXPECT_FALSE(HasTrayIcon(main));
}

TEST(Layout, AWindowDraggedBelowTheMinimumSnapsBack) {
    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    UINT dpi = GetDpiForWindow(main);
    if (!dpi) dpi = 96;
    SetWindowPos(main, nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r{};
    EXPECT_TRUE(WaitFor([&] {
        GetWindowRect(main, &r);
        return r.right - r.left >= MulDiv(3500, static_cast<int>(dpi), 1440) &&
               r.bottom - r.top >= MulDiv(2000, static_cast<int>(dpi), 1440);
    })) << r.right - r.left
        << "x" << r.bottom - r.top;
    // A window made wider only keeps its width.
    SetWindowPos(main, nullptr, 0, 0, 700, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitFor([&] {
        GetWindowRect(main, &r);
        return r.right - r.left == 700 && r.bottom - r.top >= MulDiv(2000, static_cast<int>(dpi), 1440);
    })) << r.right - r.left
        << "x" << r.bottom - r.top;
}

TEST(Tray, TheIconComesBackWhenTheTaskbarIsCreatedAgain) {
    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = main;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));
    ASSERT_FALSE(HasTrayIcon(main));
    SendMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(HasTrayIcon(main));
}

TEST(Closing, LogOffNeverBlocksAndCleansUp) {
    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    EXPECT_TRUE(SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_FALSE(HasTrayIcon(main));
}
