// The automatic wallpaper change and the slideshow of a running main window, stepped tick by tick.
#include "app/tray.h"
#include "res/resource.h"
#include "settings/registry.h"
#include "tests/support/main_window.h"
#include "tests/support/user_input.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/choosing/pause_state.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <wtsapi32.h>

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

    // One timer, set for the end of the interval: nothing wakes before.
    EXPECT_GT(change().DueIn().value_or(0), 4000u);
    EXPECT_FALSE(test::Exists(form->Places().WallpaperBitmapPath));
    EXPECT_EQ(Ticks1(1), 0) << "the first change comes when the interval is over";
    EXPECT_EQ(WallpaperWidth(), 20);
    EXPECT_EQ(settings::GetRegistryString(HKEY_CURRENT_USER, L"Control Panel\\desktop", L"Wallpaper"),
              form->Places().WallpaperBitmapPath);

    Sleep(300);
    Command(ID_menu自动更换壁纸); // stopped 0.3 s into the interval
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(change().DueIn());
    EXPECT_FALSE(IconsShown()) << "stopping leaves the icons hidden";
    EXPECT_FALSE(IsWindowVisible(form->hwnd()));
    Command(ID_menu自动更换壁纸);
    EXPECT_LT(change().DueIn().value_or(5000), 4800u) << "the count was kept across the stop";
    EXPECT_EQ(Ticks1(1), 1);
    EXPECT_EQ(WallpaperWidth(), 30);
    EXPECT_EQ(Ticks1(1), 2);
    EXPECT_EQ(Ticks1(1), 0) << "from the last entry to the first";
    EXPECT_EQ(WallpaperWidth(), 20);

    // A new interval applies at once.
    form->Settings().WallpaperInterval = 3600;
    change().SettingsChanged();
    EXPECT_GT(change().DueIn().value_or(0), 3590000u);
}

TEST_F(AutoChangeTest, ASinglePictureIsSetAgainAndAnEmptyFolderChangesNothing) {
    std::wstring one = temp.path() + L"\\one";
    CreateDirectoryW(one.c_str(), nullptr);
    ASSERT_TRUE(test::WritePicture(one + L"\\only.bmp", GUID_ContainerFormatBmp, 24, 10));
    form->Pictures().SetPath(one);
    form->Settings().WallpaperInterval = 3;
    change().menu自动更换壁纸_Click();
    EXPECT_EQ(Ticks1(1), 0);
    EXPECT_EQ(WallpaperWidth(), 24);
    DeleteFileW(form->Places().WallpaperBitmapPath.c_str());
    EXPECT_EQ(Ticks1(1), 0);
    EXPECT_EQ(WallpaperWidth(), 24) << "the same picture is set again";

    std::wstring empty = temp.path() + L"\\empty";
    CreateDirectoryW(empty.c_str(), nullptr);
    form->Pictures().SetPath(empty);
    DeleteFileW(form->Places().WallpaperBitmapPath.c_str());
    // The captions are set again at each interval, whatever they showed.
    SetWindowTextW(form->Pictures().Command4, L"自动更换墙纸");
    EXPECT_EQ(Ticks1(1), -1);
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
    EXPECT_EQ(Ticks1(1), 0);
    EXPECT_TRUE(boxes.Texts().empty()) << "no message box from a tick";
    EXPECT_TRUE(Running());
    form->Places().WallpaperBitmapPath = good;
    EXPECT_EQ(Ticks1(1), 1) << "the next interval takes the next picture";
    EXPECT_EQ(WallpaperWidth(), 30);
}

TEST_F(AutoChangeTest, TheButtonShowsTheOptionsFirstAndStopsASlideshow) {
    SelectTab(1);
    test::Press(form->Pictures().Command6);
    EXPECT_TRUE(form->TimerEnabled(ui::TimerKT));

    test::Press(form->Pictures().Command4);
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
    test::Press(form->Pictures().Command4);
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
    EXPECT_EQ(Ticks1(1), 0);
    EXPECT_EQ(WallpaperWidth(), 20);
    EXPECT_EQ(Ticks1(1), 1);
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

namespace {
BOOL WINAPI OnBatteryPower(SYSTEM_POWER_STATUS* status) {
    *status = {};
    status->ACLineStatus = 0;
    return TRUE;
}
} // namespace

TEST_F(AutoChangeTest, NextAndPreviousWalkTheWallpapersSetAsABrowserDoesAcrossARestart) {
    auto set = [&](int id) {
        Command(id);
        Settle();
        return WallpaperWidth();
    };
    auto previousGreyed = [&] {
        SendMessageW(form->hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(form->TrayMenu()), 0);
        return (GetMenuState(form->TrayMenu(), ID_menu上一张墙纸, MF_BYCOMMAND) & MF_GRAYED) != 0;
    };
    EXPECT_TRUE(previousGreyed());
    EXPECT_EQ(set(ID_menu下一张墙纸), 20) << "works whether the change runs or not";
    EXPECT_EQ(set(ID_menu下一张墙纸), 30);
    EXPECT_EQ(set(ID_menu下一张墙纸), 40);
    EXPECT_EQ(set(ID_menu上一张墙纸), 30);
    EXPECT_EQ(set(ID_menu上一张墙纸), 20);
    EXPECT_TRUE(previousGreyed());
    EXPECT_EQ(set(ID_menu下一张墙纸), 30) << "forward again before new pictures";
    EXPECT_EQ(form->Pictures().ListIndex(), 1) << "the list follows";
    // A picture set another way drops the entries ahead: c is gone from the history.
    form->Pictures().SetListIndex(0);
    EXPECT_EQ(set(ui::IDC_Command2), 20);

    // After a restart the history stands at its newest entry; a picture gone is skipped going back.
    const std::wstring pictures = PictureFolder();
    app::RemoveTrayIcon();
    form.reset();
    DeleteFileW((pictures + L"\\b.bmp").c_str());
    form = std::make_unique<app::FormMain>(false, Places());
    ASSERT_TRUE(form->Create());
    form->Pictures().SetPath(pictures);
    EXPECT_FALSE(previousGreyed());
    EXPECT_EQ(set(ID_menu上一张墙纸), 20) << "a, then b (gone), then a: back to the first";
    EXPECT_TRUE(previousGreyed());
}

TEST_F(AutoChangeTest, TheHistoryOfANewProfileIsKeptWhereItsFolderDidNotExistYet) {
    const std::wstring history = temp.path() + L"\\新的用户\\Tavolin\\墙纸历史.txt";
    auto places = Places();
    places.HistoryPath = history;
    app::RemoveTrayIcon();
    form.reset();
    form = std::make_unique<app::FormMain>(false, places);
    ASSERT_TRUE(form->Create());
    form->Pictures().SetPath(PictureFolder());
    for (int i = 0; i < 3; ++i)
        Command(ID_menu下一张墙纸), Settle();
    EXPECT_EQ(WallpaperWidth(), 40);
    ASSERT_TRUE(test::Exists(history));
    app::RemoveTrayIcon();
    form.reset();
    form = std::make_unique<app::FormMain>(false, places);
    ASSERT_TRUE(form->Create());
    form->Pictures().SetPath(PictureFolder());
    Command(ID_menu上一张墙纸), Settle();
    EXPECT_EQ(WallpaperWidth(), 30) << "back across the restart";
}

TEST_F(AutoChangeTest, AHotkeyChangesTheWallpaperWhileHiddenAndAKeyTakenIsNamed) {
    const uint16_t ctrlAltN = MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT),
                   ctrlShiftT = MAKEWORD('T', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    ASSERT_EQ(form->RegisterHotkeys(ctrlAltN, 0), L"");
    // Another program holds Ctrl+Shift+T: asking for it names it and keeps the keys as they were.
    HWND other = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 7, MOD_CONTROL | MOD_SHIFT, 'T'));
    EXPECT_EQ(form->RegisterHotkeys(ctrlAltN, ctrlShiftT),
              L"快捷键 Ctrl + Shift + T 已被其他程序占用，请换一个。");
    ShowWindow(form->hwnd(), SW_HIDE);
    test::PressKeys({VK_CONTROL, VK_MENU, 'N'});
    EXPECT_TRUE(test::Pump(form->hwnd(), 10000, [&] {
        return !form->Pictures().PictureWorkPending() && test::Exists(form->Places().WallpaperBitmapPath);
    }));
    EXPECT_EQ(WallpaperWidth(), 20);
    UnregisterHotKey(other, 7);
    DestroyWindow(other);
}

TEST_F(AutoChangeTest, LockedTheTimerStandsStillAndOnBatteryTheChangePausesWithATip) {
    Command(ID_menu自动更换壁纸);
    ASSERT_TRUE(form->TimerTicking(ui::Timer1));
    SendMessageW(form->hwnd(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
    EXPECT_FALSE(form->TimerTicking(ui::Timer1));
    EXPECT_TRUE(Running()) << "the change still runs";
    SendMessageW(form->hwnd(), WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    EXPECT_TRUE(form->TimerTicking(ui::Timer1));

    wallpaper::UsePowerStatus(&OnBatteryPower);
    form->Settings().PauseBattery = true;
    EXPECT_EQ(Ticks1(1), -1);
    EXPECT_FALSE(test::Exists(form->Places().WallpaperBitmapPath));
    EXPECT_EQ(app::TrayTip(), L"Tavolin(Quorvel)\n自动更换已暂停：使用电池");
    wallpaper::UsePowerStatus(nullptr);
    EXPECT_EQ(Ticks1(1), 0);
    EXPECT_EQ(app::TrayTip(), L"Tavolin(Quorvel)");
}

TEST(FullScreen, AWindowCoveringItsMonitorCountsUnlessItIsOurs) {
    MONITORINFO m{sizeof m};
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &m);
    const RECT& r = m.rcMonitor;
    HWND game = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"全屏", WS_POPUP | WS_VISIBLE, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(game);
    EXPECT_TRUE(test::Pump(game, 5000, [&] { return GetForegroundWindow() == game; }));
    // Judged for another program (the desktop's), the window counts; for its own program it does not.
    EXPECT_TRUE(wallpaper::FullScreenNow(GetDesktopWindow()));
    EXPECT_FALSE(wallpaper::FullScreenNow(game));
    SetWindowPos(game, nullptr, 0, 0, r.right - r.left, r.bottom - r.top - 40, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_FALSE(wallpaper::FullScreenNow(GetDesktopWindow()))
        << "short of the monitor's foot, as a maximised window";
    DestroyWindow(game);
}
