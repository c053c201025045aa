// Quorvel.exe as its own process on the picture tab: a picture from the command line, a click in
// the picture list, the popup menu, and "设为墙纸" down to the bitmap file and the registry.
#include "res/resource.h"
#include "settings/app_settings.h"
#include "settings/registry.h"
#include "tests/e2e/driver.h"
#include "tests/support/temp_folder.h"
#include "tests/wallpaper/test_pictures.h"
#include "ui/controls.h"

#include <algorithm>
#include <atomic>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <thread>

using namespace e2e;

namespace {

constexpr wchar_t DesktopKey[] = L"Control Panel\\desktop";

std::wstring Desktop(const wchar_t* name) {
    return settings::GetRegistryString(HKEY_CURRENT_USER, DesktopKey, name, L"<none>");
}

} // namespace

TEST(Pictures, AClickedPictureIsCollectedAndBecomesTheWallpaper) {
    ProgramFolder folder;
    std::wstring outside = folder.path() + L"\\外面的图";
    CreateDirectoryW(outside.c_str(), nullptr);
    ASSERT_TRUE(test::WritePicture(outside + L"\\山.bmp", GUID_ContainerFormatBmp, 640, 480));
    ASSERT_TRUE(test::WritePicture(outside + L"\\海边.jpg", GUID_ContainerFormatJpeg, 1200, 800));
    std::wstring bitmap = WallpaperBitmap();
    DeleteFileW(bitmap.c_str());
    settings::SetRegistryString(HKEY_CURRENT_USER, DesktopKey, L"Wallpaper", L"before the test");

    Program program(folder, L"\"" + outside + L"\\山.bmp\"");
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    HWND list = Control(main, ui::IDC_File1);
    ASSERT_EQ(ListBoxItems(list), (std::vector<std::wstring>{L"山.bmp", L"海边.jpg"}));

    ClickRow(list, 1);
    std::wstring picture = outside + L"\\海边.jpg";
    EXPECT_TRUE(WaitFor([&] { return Text(main) == L"Tavolin－" + picture; })) << Text(main);
    EXPECT_TRUE(WaitFor([&] { return test::Exists(folder.pictureFolder() + L"\\海边.jpg"); }));
    EXPECT_EQ(test::ReadBytes(folder.pictureFolder() + L"\\海边.jpg"), test::ReadBytes(picture));

    Press(Control(main, ui::IDC_Command2));
    EXPECT_TRUE(WaitFor([&] { return Desktop(L"Wallpaper") == bitmap; })) << Desktop(L"Wallpaper");
    EXPECT_EQ(Desktop(L"TileWallpaper"), L"0");
    EXPECT_EQ(Desktop(L"WallpaperStyle"), L"0");
    test::BitmapHeader h = test::ReadBitmapHeader(bitmap);
    EXPECT_EQ(h.width, 1200);
    EXPECT_EQ(h.height, 800);
    EXPECT_EQ(h.bitCount, 24);
}

TEST(Pictures, TheListsPopupMenuDeletesTheSelectedPicture) {
    ProgramFolder folder;
    CreateDirectoryW(folder.pictureFolder().c_str(), nullptr);
    ASSERT_TRUE(test::WritePicture(folder.pictureFolder() + L"\\a.gif", GUID_ContainerFormatGif, 40, 30));
    ASSERT_TRUE(test::WritePicture(folder.pictureFolder() + L"\\b.gif", GUID_ContainerFormatGif, 40, 30));
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    HWND list = Control(main, ui::IDC_File1);
    ClickRow(list, 0);
    ASSERT_TRUE(WaitFor([&] { return Text(main) == L"Tavolin－" + folder.pictureFolder() + L"\\a.gif"; }));

    // A right click opens the popup menu; Escape closes it again.
    PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 5));
    PostMessageW(list, WM_RBUTTONUP, 0, MAKELPARAM(10, 5));
    EXPECT_TRUE(WaitFor([&] {
        for (HWND w : TopLevelWindows(program.pid(), L"#32768"))
            if (IsWindowVisible(w)) return true;
        return false;
    }));
    PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] {
        for (HWND w : TopLevelWindows(program.pid(), L"#32768"))
            if (IsWindowVisible(w)) return false;
        return true;
    }));

    program.Choose(ID_menu删除文件jpg);
    // The list is refilled meanwhile: count first, read the rows once it has settled.
    EXPECT_TRUE(WaitFor([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }));
    EXPECT_EQ(ListBoxItems(list), std::vector<std::wstring>{L"b.gif"});
    EXPECT_FALSE(test::Exists(folder.pictureFolder() + L"\\a.gif"));
}

TEST(Pictures, EmojiNamesInAFolderBeyondMaxPathAreListedCollectedAndSet) {
    ProgramFolder folder;
    std::wstring deep = folder.path();
    for (int i = 0; deep.size() <= MAX_PATH; ++i) {
        deep +=
            L"\\" + std::to_wstring(i) + L" 很长的文件夹" + std::wstring(40, L'a' + static_cast<wchar_t>(i));
        ASSERT_TRUE(CreateDirectoryW(platform::LongPath(deep).c_str(), nullptr));
    }
    const std::wstring sea = L"\U0001F600 海.jpg", wave = L"\U0001F30A 浪.bmp";
    // Made where the path is short, then moved down.
    for (const std::wstring* name : {&sea, &wave}) {
        std::wstring made = folder.path() + (*name == sea ? L"\\made.jpg" : L"\\made.bmp");
        ASSERT_TRUE(test::WritePicture(
            made, *name == sea ? GUID_ContainerFormatJpeg : GUID_ContainerFormatBmp, 320, 200));
        ASSERT_TRUE(MoveFileW(made.c_str(), platform::LongPath(deep + L"\\" + *name).c_str()));
    }
    std::wstring bitmap = WallpaperBitmap();
    DeleteFileW(bitmap.c_str());

    // Opened from the shell: the picture's folder is listed.
    std::wstring picture = deep + L"\\" + wave;
    Program program(folder, L"\"" + picture + L"\"");
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    EXPECT_EQ(Text(main), L"Tavolin-" + picture);
    HWND list = Control(main, ui::IDC_File1);
    ASSERT_EQ(ListBoxItems(list), (std::vector<std::wstring>{wave, sea}));

    ClickRow(list, 1);
    EXPECT_TRUE(WaitFor([&] { return Text(main) == L"Tavolin－" + deep + L"\\" + sea; }))
        << Text(main).size();
    std::wstring copy = folder.pictureFolder() + L"\\" + sea;
    EXPECT_TRUE(WaitFor([&] { return test::Exists(copy); }));
    EXPECT_EQ(test::ReadBytes(copy), test::ReadBytes(platform::LongPath(deep + L"\\" + sea)));

    Press(Control(main, ui::IDC_Command2));
    EXPECT_TRUE(WaitFor([&] { return test::ReadBitmapHeader(bitmap).width == 320; }));
    EXPECT_EQ(test::ReadBitmapHeader(bitmap).height, 200);
}

TEST(Pictures, FillChosenInTheOptionsDialogRemakesTheWallpaperAtTheScreensSize) {
    ProgramFolder folder;
    CreateDirectoryW(folder.pictureFolder().c_str(), nullptr);
    ASSERT_TRUE(
        test::WritePicture(folder.pictureFolder() + L"\\大.jpg", GUID_ContainerFormatJpeg, 3000, 1000));
    std::wstring bitmap = WallpaperBitmap();
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    ClickRow(Control(main, ui::IDC_File1), 0);
    ASSERT_TRUE(WaitFor([&] { return Text(main) == L"Tavolin－" + folder.pictureFolder() + L"\\大.jpg"; }));
    Press(Control(main, ui::IDC_Command2));
    // 居中 keeps what a screen shows of it.
    const int shown = std::min(3000, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_TRUE(WaitFor([&] { return test::ReadBitmapHeader(bitmap).width == shown; }));

    HWND dialog = program.OpenOptions();
    ASSERT_TRUE(dialog);
    SendMessageW(GetDlgItem(dialog, IDC_OPT_Combo1), CB_SETCURSEL, 0, 0); // 填充
    PressButton(dialog, IDC_OPT_Command1);

    // The bitmap is written before the desktop's values, which tell when the set is over.
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_TRUE(WaitFor([&] { return Desktop(L"WallpaperStyle") == L"10"; }));
    EXPECT_EQ(test::ReadBitmapHeader(bitmap).width, w);
    EXPECT_EQ(test::ReadBitmapHeader(bitmap).height, h);
    EXPECT_EQ(Desktop(L"TileWallpaper"), L"0");
    EXPECT_EQ(folder.Stored(L"墙纸位置"), L"填充");
    EXPECT_TRUE(program.Quit());
}

TEST(Pictures, TheAutomaticChangeGoesThroughBigPhotosWhileTheWindowAnswers) {
    ProgramFolder folder;
    CreateDirectoryW(folder.pictureFolder().c_str(), nullptr);
    const long colours[] = {0x2020E0, 0x20E020, 0xE02020}; // blue, green and red
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(test::WritePicture(folder.pictureFolder() + L"\\" + std::to_wstring(i) + L".jpg",
                                       GUID_ContainerFormatJpeg, 4000, 3000, colours[i]));
    folder.Store(settings::KeyWallpaperInterval, L"1");
    std::wstring bitmap = WallpaperBitmap();
    auto shows = [&](long rgb) { return test::Near(test::BitmapPixel(bitmap, 0, 0), rgb, 16); };
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    std::atomic<bool> probing{true};
    std::atomic<int> answered{0}, unanswered{0};
    std::thread probe([&] {
        for (DWORD_PTR r; probing; Sleep(10))
            ++(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r) ? answered : unanswered);
    });
    program.Choose(ID_menu自动更换壁纸);
    for (int i : {0, 1, 2, 0}) // each photo in turn, and round again
        EXPECT_TRUE(WaitFor([&] { return shows(colours[i]); }, 30000)) << i;
    probing = false;
    probe.join();
    EXPECT_EQ(unanswered, 0);
    EXPECT_GT(answered, 0);
    EXPECT_TRUE(program.Quit());
}

// A user with no mouse: to the picture tab, into the list, down to a phone's portrait photo beside a
// PNG, over to "设为墙纸", with 填充 chosen.
TEST(Pictures, APortraitPhotoIsSetUprightWithFillByTheKeyboardAlone) {
    ProgramFolder folder;
    std::wstring photos = folder.path() + L"\\手机照片";
    CreateDirectoryW(photos.c_str(), nullptr);
    // Stored on its side, 600 × 400, red left of blue; upright (orientation 6), red above blue.
    std::wstring photo = photos + L"\\竖拍.jpg", made = photos + L"\\made.jpg";
    ASSERT_TRUE(test::WritePixels(made, GUID_ContainerFormatJpeg, 600, 400,
                                  [](UINT x, UINT) { return x < 300 ? 0xFF0000L : 0x0000FFL; }));
    test::TempFolder::Write(photo, test::WithOrientation(test::ReadBytes(made), 6, true));
    DeleteFileW(made.c_str());
    ASSERT_TRUE(test::WritePicture(photos + L"\\截图.png", GUID_ContainerFormatPng, 320, 200, 0x336699));
    folder.Store(L"墙纸文件夹路径", photos);
    folder.Store(L"墙纸位置", L"填充");
    std::wstring bitmap = WallpaperBitmap();
    DeleteFileW(bitmap.c_str());
    settings::SetRegistryString(HKEY_CURRENT_USER, DesktopKey, L"Wallpaper", L"before the test");
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    HWND tabs = Control(main, ui::IDC_SSTab1), list = Control(main, ui::IDC_File1);
    ASSERT_EQ(ListBoxItems(list), (std::vector<std::wstring>{L"截图.png", L"竖拍.jpg"}));

    ASSERT_TRUE(PressUntil(main, {VK_CONTROL, VK_TAB}, [&] {
        return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 1 &&
               Focused(main) == Control(main, ui::IDC_Command1);
    })) << "Ctrl+Tab: 墙纸和看图, on its first button";
    ASSERT_TRUE(PressUntil(
        main, {VK_TAB}, [&] { return Focused(main) == list; }, 10));
    ASSERT_TRUE(PressUntil(
        main, {VK_DOWN}, [&] { return Text(main) == L"Tavolin－" + photo; }, 3))
        << Text(main);
    ASSERT_TRUE(PressUntil(
        main, {VK_TAB}, [&] { return Focused(main) == Control(main, ui::IDC_Command2); }, 10));
    ASSERT_TRUE(PressUntil(main, {VK_SPACE}, [&] { return Desktop(L"Wallpaper") == bitmap; }))
        << Desktop(L"Wallpaper");
    // The upright middle with the screen's shape: 400 wide (600 if it lay on its side), red above blue.
    const int height = 400 * GetSystemMetrics(SM_CYSCREEN) / GetSystemMetrics(SM_CXSCREEN);
    EXPECT_EQ(test::ReadBitmapHeader(bitmap).width, 400);
    EXPECT_NEAR(test::ReadBitmapHeader(bitmap).height, height, 1);
    EXPECT_TRUE(test::Near(test::BitmapPixel(bitmap, 200, 5), 0xFF0000, 40))
        << std::hex << test::BitmapPixel(bitmap, 200, 5);
    EXPECT_TRUE(test::Near(test::BitmapPixel(bitmap, 200, height - 5), 0x0000FF, 40));
    EXPECT_TRUE(program.Quit());
}
