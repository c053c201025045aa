// "收藏" and "不再显示" in a running main window: from the list menu and the tray's "当前墙纸", obeyed by
// the automatic change, kept across a restart; and what "当前墙纸" does with the file on show.
#include "app/current_wallpaper_menu.h"
#include "app/tray.h"
#include "browser/file_clipboard.h"
#include "res/resource.h"
#include "tests/support/main_window.h"
#include "tests/support/user_input.h"
#include "tests/wallpaper/test_pictures.h"

#include <gtest/gtest.h>
#include <set>

namespace {

class MarksTest : public test::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (HasFatalFailure()) return;
        form->Settings().WallpaperInterval = 3600;
        // Widths tell the pictures apart once they are the wallpaper bitmap.
        for (auto [name, width] : {std::pair{L"a.bmp", 20}, {L"b.bmp", 30}, {L"c.bmp", 40}, {L"d.bmp", 50}})
            ASSERT_TRUE(test::WritePicture(PictureFolder() + L"\\" + name, GUID_ContainerFormatBmp, UINT(width), 10));
        form->Pictures().SetPath(PictureFolder());
    }
    void Command(int id) {
        SendMessageW(form->hwnd(), WM_COMMAND, id, 0);
        EXPECT_TRUE(test::Pump(form->hwnd(), 20000, [&] { return !form->Pictures().PictureWorkPending(); }));
    }
    // Marks picture `index` from the list menu.
    void Mark(int index, int id) {
        form->Pictures().SetListIndex(index);
        Command(id);
    }
    int WallpaperWidth() const { return test::ReadBitmapHeader(form->Places().WallpaperBitmapPath).width; }
    std::wstring Path(const wchar_t* name) const { return PictureFolder() + L"\\" + name; }
};

} // namespace

TEST_F(MarksTest, NeverAgainIsNeverChosenFavouritesOnlyTakesThemAndTheMarksOutliveARestart) {
    Mark(1, ID_FlieL不再显示); // b
    Mark(2, ID_FlieL不再显示); // c
    Mark(2, ID_FlieL不再显示); // and c back again
    EXPECT_EQ(form->Pictures().MarkOf(Path(L"b.bmp")), wallpaper::Mark::Never);
    EXPECT_EQ(form->Pictures().MarkOf(Path(L"c.bmp")), wallpaper::Mark::None);
    std::set<int> set;
    for (int i = 0; i < 200; ++i) {
        form->TimedModes().Timer1_Timer();
        ASSERT_TRUE(test::Pump(form->hwnd(), 20000, [&] { return !form->Pictures().PictureWorkPending(); }));
        set.insert(WallpaperWidth());
    }
    EXPECT_EQ(set, (std::set<int>{20, 40, 50})) << "b never, the others each";

    Mark(3, ID_FlieL收藏); // d
    Mark(0, ID_FlieL收藏); // a
    form->Settings().FavouritesOnly = true;
    set.clear();
    for (int i = 0; i < 6; ++i) {
        Command(ID_menu下一张墙纸);
        set.insert(WallpaperWidth());
    }
    EXPECT_EQ(set, (std::set<int>{20, 50})) << "favourites only";

    // Kept in their file, by full path, and read again at start-up.
    app::RemoveTrayIcon();
    form.reset();
    form = std::make_unique<app::FormMain>(false, Places());
    ASSERT_TRUE(form->Create());
    form->Pictures().SetPath(PictureFolder());
    EXPECT_EQ(form->Pictures().MarkOf(Path(L"B.BMP")), wallpaper::Mark::Never);
    EXPECT_EQ(form->Pictures().MarkOf(Path(L"d.bmp")), wallpaper::Mark::Favourite);
}

TEST_F(MarksTest, TheWallpaperOnShowFromTheTray) {
    auto items = [&] {
        SendMessageW(form->hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(form->TrayMenu()), 0);
        HMENU sub = nullptr;
        for (int i = 0; i < GetMenuItemCount(form->TrayMenu()) && !sub; ++i)
            if (HMENU m = GetSubMenu(form->TrayMenu(), i); m && GetMenuItemCount(m) && GetMenuItemID(m, 0) >= ID_menu当前墙纸)
                sub = m;
        std::vector<std::wstring> texts;
        for (int i = 0; sub && i < GetMenuItemCount(sub); ++i) {
            wchar_t text[MAX_PATH] = L"";
            GetMenuStringW(sub, i, text, MAX_PATH, MF_BYPOSITION);
            texts.push_back(text);
        }
        return texts;
    };
    EXPECT_EQ(items(), std::vector<std::wstring>{L"当前墙纸不是由本程序设置的"});
    form->Pictures().SetListIndex(2); // c
    Command(ui::IDC_Command2);
    ASSERT_EQ(WallpaperWidth(), 40);
    EXPECT_EQ(items(), (std::vector<std::wstring>{L"c.bmp", L"", L"在文件夹中显示", L"复制图片", L"复制路径", L"", L"收藏",
                                                  L"不再显示"}));
    const int first = ID_menu当前墙纸 + 1;
    Command(first + 3); // 复制路径
    ASSERT_TRUE(OpenClipboard(form->hwnd()));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = static_cast<const wchar_t*>(data ? GlobalLock(data) : nullptr);
    EXPECT_EQ(std::wstring(text ? text : L""), L"\"" + Path(L"c.bmp") + L"\"");
    if (text) GlobalUnlock(data);
    CloseClipboard();
    Command(first + 2); // 复制图片
    EXPECT_EQ(browser::FilesOnClipboard(form->hwnd()).paths, std::vector<std::wstring>{Path(L"c.bmp")});
    // The folder opens in Explorer, a window named after it; it is closed again, so that no program of
    // ours outlives the test.
    EXPECT_TRUE(app::ShowInFolder(Path(L"c.bmp")));
    HWND explorer = nullptr;
    const std::wstring folderName = PictureFolder().substr(PictureFolder().find_last_of(L'\\') + 1);
    EXPECT_TRUE(test::Pump(form->hwnd(), 10000, [&] { return (explorer = FindWindowW(nullptr, folderName.c_str())); }));
    if (explorer) {
        DWORD pid = 0;
        GetWindowThreadProcessId(explorer, &pid);
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
            PostMessageW(explorer, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) TerminateProcess(process, 0);
            CloseHandle(process);
        }
    }
    Command(first + 4); // 收藏
    EXPECT_EQ(form->Pictures().MarkOf(Path(L"c.bmp")), wallpaper::Mark::Favourite);
    // Never again, on show: it gives way at once.
    Command(first + 5);
    EXPECT_EQ(form->Pictures().MarkOf(Path(L"c.bmp")), wallpaper::Mark::Never);
    EXPECT_EQ(WallpaperWidth(), 50);
    DeleteFileW(Path(L"d.bmp").c_str());
    EXPECT_EQ(items(), std::vector<std::wstring>{L"文件已不存在"});
}
