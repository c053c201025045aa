// Quorvel.exe as its own process over made-up shell windows: it hides the desktop icons at
// start-up, and every way it ends gives them back. The automatic change from the tray, down to the
// wallpaper bitmap and the registry.
#include "ui/controls.h"
#include "res/resource.h"
#include "settings/app_settings.h"
#include "settings/registry.h"
#include "tests/e2e/driver.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/no_crash_dialog.h"
#include "tests/wallpaper/test_pictures.h"

#include <gtest/gtest.h>

using namespace e2e;
using test::FakeDesktop;

namespace {

// Sets an environment variable for the programs started while this lives.
class Environment {
  public:
    Environment(const wchar_t* name, const wchar_t* value) : name_(name) {
        SetEnvironmentVariableW(name, value);
    }
    ~Environment() { SetEnvironmentVariableW(name_, nullptr); }

  private:
    const wchar_t* name_;
};

std::wstring WallpaperValue() {
    return settings::GetRegistryString(HKEY_CURRENT_USER, L"Control Panel\\desktop", L"Wallpaper", L"<none>");
}

} // namespace

TEST(DesktopIcons, HiddenWhileTheProgramRunsAndShownAfterQuitting) {
    FakeDesktop shell(FakeDesktop::Layout::ViewUnderWorkerWChild);
    ProgramFolder folder;
    Program program(folder);
    ASSERT_TRUE(program.WaitUntilStarted());
    EXPECT_FALSE(shell.ViewVisible());
    EXPECT_EQ(shell.Hides(), 1);
    ASSERT_TRUE(program.Quit());
    EXPECT_TRUE(shell.ViewVisible());
}

TEST(DesktopIcons, ALaterCopyTakesOverAndTheLastOneShowsThemOnQuitting) {
    FakeDesktop shell(FakeDesktop::Layout::ViewUnderProgman);
    ProgramFolder folder;
    Program first(folder);
    ASSERT_TRUE(first.WaitUntilStarted());
    Program second(folder);
    ASSERT_TRUE(first.WaitForExit(15000));
    HWND main = second.WaitUntilStarted();
    ASSERT_TRUE(main);
    // The first copy gave the icons back on its way out; the second hid them again.
    EXPECT_EQ(shell.Shows(), 1);
    EXPECT_EQ(shell.Hides(), 2);
    EXPECT_FALSE(shell.ViewVisible());
    ASSERT_TRUE(second.Quit());
    EXPECT_TRUE(shell.ViewVisible());
}

TEST(DesktopIcons, LoggingOffShowsThem) {
    FakeDesktop shell(FakeDesktop::Layout::ViewUnderTopLevelWorkerW);
    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    ASSERT_FALSE(shell.ViewVisible());
    EXPECT_TRUE(SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(shell.ViewVisible());
    EXPECT_FALSE(HasTrayIcon(main));
}

TEST(DesktopIcons, ACrashShowsThem) {
    test::NoCrashDialog quiet;
    FakeDesktop shell(FakeDesktop::Layout::ViewUnderProgman);
    ProgramFolder folder;
    Environment crash(L"TAVOLIN_TEST_CRASH", L"1");
    Program program(folder);
    ASSERT_TRUE(program.WaitForExit(30000));
    EXPECT_EQ(shell.Hides(), 1) << "start-up ran before the crash";
    // The request to show was queued to the view's thread; a message sent now is answered after it.
    SendMessageW(shell.view(), WM_NULL, 0, 0);
    EXPECT_TRUE(shell.ViewVisible());
}

TEST(AutomaticChange, FromTheTrayEveryIntervalTheNextPictureBecomesTheWallpaper) {
    FakeDesktop shell(FakeDesktop::Layout::ViewUnderProgman);
    ProgramFolder folder;
    CreateDirectoryW(folder.pictureFolder().c_str(), nullptr);
    // Widths tell the pictures apart in the wallpaper bitmap.
    ASSERT_TRUE(test::WritePicture(folder.pictureFolder() + L"\\1.bmp", GUID_ContainerFormatBmp, 64, 48));
    ASSERT_TRUE(test::WritePicture(folder.pictureFolder() + L"\\2.jpg", GUID_ContainerFormatJpeg, 96, 48));
    folder.Store(settings::KeyWallpaperInterval, L"3");
    const std::wstring bitmap = WallpaperBitmap();
    DeleteFileW(bitmap.c_str());
    std::wstring before = WallpaperValue();
    settings::SetRegistryString(HKEY_CURRENT_USER, L"Control Panel\\desktop", L"Wallpaper",
                                L"before the test");

    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    ShowWindow(shell.view(), SW_SHOW); // the change hides them again
    program.Choose(ID_menu自动更换壁纸);
    EXPECT_TRUE(WaitFor([&] { return Text(Control(main, ui::IDC_Command4)) == L"停止更换墙纸"; }));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main) && !shell.ViewVisible(); }));

    EXPECT_TRUE(WaitFor([&] { return test::ReadBitmapHeader(bitmap).width == 64; }, 15000));
    EXPECT_TRUE(WaitFor([&] { return WallpaperValue() == bitmap; })) << WallpaperValue();
    settings::SetRegistryString(HKEY_CURRENT_USER, L"Control Panel\\desktop", L"Wallpaper", L"between");
    EXPECT_TRUE(WaitFor([&] { return test::ReadBitmapHeader(bitmap).width == 96; }, 15000));
    EXPECT_TRUE(WaitFor([&] { return WallpaperValue() == bitmap; }));

    ASSERT_TRUE(program.Quit());
    EXPECT_TRUE(shell.ViewVisible());
    settings::SetRegistryString(HKEY_CURRENT_USER, L"Control Panel\\desktop", L"Wallpaper", before);
}
