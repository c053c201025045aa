// Quorvel.exe as a user without administrator rights runs it from "Program Files", after an
// administrator's run left its settings and a wallpaper bitmap in the Windows folder. The folders of
// root's come from scripts/standard-user; elsewhere the test is skipped.
#include "core/places.h"
#include "res/resource.h"
#include "settings/app_settings.h"
#include "settings/registry.h"
#include "tests/e2e/driver.h"
#include "tests/support/temp_folder.h"
#include "tests/wallpaper/test_pictures.h"
#include "ui/controls.h"

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace e2e;

namespace {

constexpr wchar_t DesktopKey[] = L"Control Panel\\desktop";

std::wstring Wallpaper() {
    return settings::GetRegistryString(HKEY_CURRENT_USER, DesktopKey, L"Wallpaper", L"<none>");
}

} // namespace

TEST(StandardUser, FromAFolderOfRootsPicturesAndWallpapersGoToTheUsersOwnFolder) {
    ProgramFolder folder(L"C:\\Program Files\\Tavolin");
    if (!test::Exists(folder.exe()) || !test::Exists(L"C:\\tavolin-fixtures"))
        GTEST_SKIP() << "needs scripts/standard-user";
    const std::wstring user = core::UserProgramFolder(), bitmap = user + L"\\Vesmar.bmp";
    ASSERT_EQ(WallpaperBitmap(), bitmap) << "the Windows folder must be closed to this user";
    test::RemoveTree(user);
    // What an administrator's run left: its settings, and the wallpaper in the Windows folder.
    folder.Store(settings::KeyWallpaperFolder, folder.pictureFolder());
    const std::wstring oldBitmap = L"C:\\windows\\Vesmar.bmp";
    const std::string before = test::ReadBytes(oldBitmap);
    ASSERT_FALSE(before.empty());
    settings::SetRegistryString(HKEY_CURRENT_USER, DesktopKey, L"Wallpaper", oldBitmap);
    // And an interrupted write of the user's own.
    ASSERT_TRUE(core::CreateFolders(user));
    test::TempFolder::Write(user + L"\\Vesmar.bmp.99-1.tmp", "half a bitmap");

    {
        // The stored folder still exists, so it is listed, though nothing can be added to it.
        Program program(folder);
        HWND main = program.WaitUntilStarted();
        ASSERT_TRUE(main);
        EXPECT_EQ(ListBoxItems(Control(main, ui::IDC_File1)).size(), 2u);
        ASSERT_TRUE(program.Quit());
    }

    test::TempFolder outside(L"outside");
    ASSERT_TRUE(test::WritePicture(outside.path() + L"\\山.bmp", GUID_ContainerFormatBmp, 640, 480));
    ASSERT_TRUE(test::WritePicture(outside.path() + L"\\海边.jpg", GUID_ContainerFormatJpeg, 1200, 800));
    Program program(folder, L"\"" + outside.path() + L"\\山.bmp\"");
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    HWND list = Control(main, ui::IDC_File1);
    ASSERT_EQ(ListBoxItems(list), (std::vector<std::wstring>{L"山.bmp", L"海边.jpg"}));

    // Set from the command line's picture, then from a clicked one, which is also collected.
    Press(Control(main, ui::IDC_Command2));
    // The bitmap is written first, then the desktop is told: both are waited for.
    EXPECT_TRUE(WaitFor([&] { return test::ReadBitmapHeader(bitmap).width == 640 && Wallpaper() == bitmap; }))
        << Wallpaper();
    ClickRow(list, 1);
    const std::wstring collected = user + L"\\Tavolin壁纸\\海边.jpg";
    EXPECT_TRUE(WaitFor([&] { return test::Exists(collected); }));
    EXPECT_EQ(test::ReadBytes(collected), test::ReadBytes(outside.path() + L"\\海边.jpg"));
    Press(Control(main, ui::IDC_Command2));
    EXPECT_TRUE(WaitFor([&] { return test::ReadBitmapHeader(bitmap).width == 1200; }));
    // The history of wallpapers set goes there too, once the window has heard of the set.
    EXPECT_TRUE(WaitFor([&] { return test::Exists(user + L"\\墙纸历史.txt"); }));
    EXPECT_EQ(test::FilesIn(user), (std::vector<std::wstring>{L"Vesmar.bmp", L"墙纸历史.txt"}))
        << "the leftover went";
    EXPECT_EQ(test::ReadBytes(oldBitmap), before);
    EXPECT_EQ(test::FilesIn(folder.pictureFolder()).size(), 2u);
    EXPECT_EQ(WaitForMessageBox(program.pid(), L"", 300), nullptr) << "no failure was reported";

    // "默认路径" is the user's own collection.
    Press(Control(main, ui::IDC_Command3));
    EXPECT_TRUE(WaitFor([&] { return ListBoxItems(list) == std::vector<std::wstring>{L"海边.jpg"}; }));
    ASSERT_TRUE(program.Quit());
}
