// The automatic wallpaper change and the slideshow of a running main window, stepped tick by tick.
#include "res/resource.h"
#include "settings/registry.h"
#include "tests/support/main_window.h"
#include "tests/support/user_input.h"
#include "tests/wallpaper/test_pictures.h"

#include <gtest/gtest.h>

namespace {

class AutoChangeTest : public test::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (HasFatalFailure()) return;
        form->Settings().WallpaperInterval = 5;
        form->Settings().SlideshowInterval = 3;
        ShowWindow(form->hwnd(), SW_SHOWNORMAL);
        // Widths tell the pictures apart once they are the wallpaper bitmap.
        Pictures({{L"a.bmp", 20}, {L"b.bmp", 30}, {L"c.bmp", 40}});
    }
    void Pictures(std::initializer_list<std::pair<const wchar_t*, UINT>> pictures) {
        for (auto [name, width] : pictures)
            ASSERT_TRUE(
                test::WritePicture(PictureFolder() + L"\\" + name, GUID_ContainerFormatBmp, width, 10));
        form->Pictures().SetPath(PictureFolder());
    }
    // Runs `n` ticks of Timer1, each followed by what the picture thread brings back; the index
    // selected after them.
    int Ticks1(int n) {
        for (int i = 0; i < n; ++i)
            change().Timer1_Timer(), Settle();
        return form->Pictures().ListIndex();
    }
    int TicksKT(int n) {
        for (int i = 0; i < n; ++i)
            change().TimerKT_Timer(), Settle();
        return form->Pictures().ListIndex();
    }
    void Settle() {
        EXPECT_TRUE(test::Pump(form->hwnd(), 20000, [&] { return !form->Pictures().PictureWorkPending(); }));
    }
    int WallpaperWidth() const { return test::ReadBitmapHeader(form->Places().WallpaperBitmapPath).width; }
    bool Running() const {
        return form->TimerEnabled(ui::Timer1) && change().Command4Caption() == L"停止更换墙纸" &&
               change().TrayItemCaption() == L"停止更换壁纸";
    }
    bool Idle() const {
        return !form->TimerEnabled(ui::Timer1) && change().Command4Caption() == L"自动更换墙纸" &&
               change().TrayItemCaption() == L"自动更换壁纸";
    }
    void Command(int id, int code = 0) { SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(id, code), 0); }

    wallpaper::AutoChange& change() const { return form->TimedModes(); }
};

} // namespace

TEST_F(AutoChangeTest, StartsFromTheTrayAndCountsOnAcrossAStop) {
    ASSERT_TRUE(Idle());
    Command(ID_menu自动更换壁纸);
    EXPECT_TRUE(Running());
    EXPECT_FALSE(IsWindowVisible(form->hwnd()));
    EXPECT_FALSE(IconsShown());
    EXPECT_EQ(optionsDialogs, 0) << "the tray starts without the options dialog";

    EXPECT_EQ(Ticks1(4), -1);
    EXPECT_FALSE(test::Exists(form->Places().WallpaperBitmapPath));
    EXPECT_EQ(Ticks1(1), 0) << "the first change comes on the 5th tick";
    EXPECT_EQ(WallpaperWidth(), 20);
    EXPECT_EQ(settings::GetRegistryString(HKEY_CURRENT_USER, L"Control Panel\\desktop", L"Wallpaper"),
              form->Places().WallpaperBitmapPath);

    Ticks1(3);
    Command(ID_menu自动更换壁纸); // stopped at 3
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(IconsShown()) << "stopping leaves the icons hidden";
    EXPECT_FALSE(IsWindowVisible(form->hwnd()));
    Command(ID_menu自动更换壁纸);
    EXPECT_EQ(Ticks1(1), 0);
    EXPECT_EQ(Ticks1(1), 1) << "the count was kept: the change comes on the 2nd tick";
    EXPECT_EQ(WallpaperWidth(), 30);
    EXPECT_EQ(Ticks1(5), 2);
    EXPECT_EQ(Ticks1(5), 0) << "from the last entry to the first";
    EXPECT_EQ(WallpaperWidth(), 20);

    // A new interval applies from the next tick.
    form->Settings().WallpaperInterval = 2;
    EXPECT_EQ(Ticks1(2), 1);
}

TEST_F(AutoChangeTest, ASinglePictureIsSetAgainAndAnEmptyFolderChangesNothing) {
    std::wstring one = temp.path() + L"\\one";
    CreateDirectoryW(one.c_str(), nullptr);
    ASSERT_TRUE(test::WritePicture(one + L"\\only.bmp", GUID_ContainerFormatBmp, 24, 10));
    form->Pictures().SetPath(one);
    form->Settings().WallpaperInterval = 3;
    change().menu自动更换壁纸_Click();
    EXPECT_EQ(Ticks1(3), 0);
    EXPECT_EQ(WallpaperWidth(), 24);
    DeleteFileW(form->Places().WallpaperBitmapPath.c_str());
    EXPECT_EQ(Ticks1(3), 0);
    EXPECT_EQ(WallpaperWidth(), 24) << "the same picture is set again";

    std::wstring empty = temp.path() + L"\\empty";
    CreateDirectoryW(empty.c_str(), nullptr);
    form->Pictures().SetPath(empty);
    DeleteFileW(form->Places().WallpaperBitmapPath.c_str());
    // The captions are set again at each interval, whatever they showed.
    SetWindowTextW(form->Pictures().Command4, L"自动更换墙纸");
    EXPECT_EQ(Ticks1(3), -1);
    EXPECT_FALSE(test::Exists(form->Places().WallpaperBitmapPath));
    EXPECT_TRUE(Running());
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(AutoChangeTest, AWallpaperThatCannotBeWrittenIsPassedOverQuietly) {
    std::wstring good = form->Places().WallpaperBitmapPath;
    // A file stands where the bitmap's folder would be.
    test::TempFolder::Write(temp.path() + L"\\a file", "x");
    form->Places().WallpaperBitmapPath = temp.path() + L"\\a file\\Vesmar.bmp";
    change().menu自动更换壁纸_Click();
    EXPECT_EQ(Ticks1(5), 0);
    EXPECT_TRUE(boxes.Texts().empty()) << "no message box from a tick";
    EXPECT_TRUE(Running());
    form->Places().WallpaperBitmapPath = good;
    EXPECT_EQ(Ticks1(5), 1) << "the next interval takes the next picture";
    EXPECT_EQ(WallpaperWidth(), 30);
}

TEST_F(AutoChangeTest, TheButtonShowsTheOptionsFirstAndStopsASlideshow) {
    SelectTab(1);
    SendMessageW(form->Pictures().Command6, BM_CLICK, 0, 0);
    EXPECT_TRUE(form->TimerEnabled(ui::TimerKT));

    SendMessageW(form->Pictures().Command4, BM_CLICK, 0, 0);
    EXPECT_EQ(optionsDialogs, 1);
    EXPECT_TRUE(Running()) << "the change starts however the dialog was closed";
    EXPECT_FALSE(form->TimerEnabled(ui::TimerKT));
    EXPECT_FALSE(IsWindowVisible(form->hwnd()));
    EXPECT_FALSE(IconsShown());

    // The slideshow pauses the change; the captions still say it runs, so the next press stops it.
    change().menu循环看图_Click();
    EXPECT_FALSE(form->TimerEnabled(ui::Timer1));
    EXPECT_TRUE(form->TimerEnabled(ui::TimerKT));
    EXPECT_EQ(change().Command4Caption(), L"停止更换墙纸");
    SendMessageW(form->Pictures().Command4, BM_CLICK, 0, 0);
    EXPECT_TRUE(Idle());
    EXPECT_EQ(optionsDialogs, 1) << "stopping shows no dialog";
    EXPECT_FALSE(IconsShown());
}

TEST_F(AutoChangeTest, TheSlideshowStepsWrapsAndStopsWhenItsTabIsLeft) {
    SelectTab(1);
    Command(ID_menu循环看图);
    EXPECT_EQ(TicksKT(2), -1);
    EXPECT_EQ(TicksKT(1), 0);
    EXPECT_EQ(TicksKT(3), 1);
    EXPECT_EQ(TicksKT(3), 2);
    EXPECT_EQ(TicksKT(3), 0);
    EXPECT_FALSE(test::Exists(form->Places().WallpaperBitmapPath)) << "the slideshow leaves the wallpaper";
    EXPECT_EQ(TicksKT(2), 0);

    SelectTab(0);
    EXPECT_EQ(TicksKT(1), 0);
    EXPECT_FALSE(form->TimerEnabled(ui::TimerKT));
    SelectTab(1);
    EXPECT_FALSE(form->TimerEnabled(ui::TimerKT)) << "coming back does not restart it";

    // Restarted, it carries on from the count it had (2 of 3).
    Command(ui::IDC_Command6, BN_CLICKED);
    EXPECT_EQ(TicksKT(1), 1);
    Command(ID_menu停止);
    EXPECT_FALSE(form->TimerEnabled(ui::TimerKT));
}

TEST_F(AutoChangeTest, TheSlideshowStopsWhenTheWindowIsHiddenOrMinimised) {
    SelectTab(1);
    change().menu循环看图_Click();
    ShowWindow(form->hwnd(), SW_MINIMIZE);
    TicksKT(1);
    EXPECT_FALSE(form->TimerEnabled(ui::TimerKT));

    ShowWindow(form->hwnd(), SW_RESTORE);
    change().menu循环看图_Click();
    // Started from the tray, the change hides the window but leaves the slideshow to its next tick.
    change().menu自动更换壁纸_Click();
    EXPECT_TRUE(form->TimerEnabled(ui::TimerKT));
    EXPECT_EQ(TicksKT(3), -1);
    EXPECT_FALSE(form->TimerEnabled(ui::TimerKT));
}

TEST_F(AutoChangeTest, AMinimisedWindowStillGetsTheNextPictureOnceTheChangeHidesIt) {
    ShowWindow(form->hwnd(), SW_MINIMIZE);
    // Shown but minimised, a selection leaves the preview alone.
    form->Pictures().SetListIndex(1);
    Command(ID_FlieL刷新);
    Command(ID_menu自动更换壁纸);
    ASSERT_FALSE(IsWindowVisible(form->hwnd()));
    EXPECT_EQ(Ticks1(5), 0);
    EXPECT_EQ(WallpaperWidth(), 20);
    EXPECT_EQ(Ticks1(5), 1);
    EXPECT_EQ(WallpaperWidth(), 30);
}

TEST_F(AutoChangeTest, AChangeAskedForDuringASetComesAfterItAndOnlyTheLatestWaitingOneRuns) {
    form->Settings().WallpaperInterval = 1;
    Command(ID_menu自动更换壁纸);
    for (int i = 0; i < 3; ++i) // before the picture thread has reported any of them
        change().Timer1_Timer();
    Settle();
    EXPECT_EQ(WallpaperWidth(), 40) << "the picture the list moved to last";
    EXPECT_EQ(Ticks1(1), 0);
    EXPECT_EQ(WallpaperWidth(), 20);
}

TEST_F(AutoChangeTest, ExitDuringASetLeavesTheOldBitmapOrTheNewOneWholeAndTheIconsShown) {
    form->Settings().Position = settings::WallpaperPosition::Tile; // the whole picture: a long write
    ASSERT_TRUE(test::WritePicture(PictureFolder() + L"\\d.bmp", GUID_ContainerFormatBmp, 3000, 2000));
    Pictures({}); // a, b, c and d
    form->Settings().WallpaperInterval = 1;
    Command(ID_menu自动更换壁纸);
    ASSERT_EQ(Ticks1(3), 2);
    const std::wstring bitmap = form->Places().WallpaperBitmapPath;
    change().Timer1_Timer(); // d.bmp, 18 MB
    Command(ID_menu退出);
    HWND window = form->hwnd();
    EXPECT_TRUE(test::Pump(window, 20000, [&] { return !IsWindow(window); }));
    form.reset(); // the picture thread ends with the page
    test::BitmapHeader h = test::ReadBitmapHeader(bitmap);
    const int height = h.width == 40 ? 10 : 2000;
    EXPECT_TRUE(h.width == 40 || h.width == 3000) << h.width;
    EXPECT_EQ(test::ReadBytes(bitmap).size(), size_t(54 + (h.width * 3 + 3) / 4 * 4 * height));
    EXPECT_TRUE(IconsShown());
    EXPECT_EQ(test::FilesIn(temp.path()), std::vector<std::wstring>{L"Vesmar.bmp"}) << "no half-written file";
}
