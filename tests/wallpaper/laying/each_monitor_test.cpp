// "每台显示器各一张" in a running main window on two monitors (scripts/multi-monitor): DISPLAY2 upright
// to the left of the primary. With one monitor these tests skip.
#include "app/tray.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "tests/support/main_window.h"
#include "tests/support/user_input.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/laying/monitor_wallpaper.h"

#include <gtest/gtest.h>

namespace {

constexpr long Red = 0xFF0000, Blue = 0x0000FF, Green = 0x00FF00, Yellow = 0xFFFF00;

class EachMonitorTest : public test::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (HasFatalFailure()) return;
        if (GetSystemMetrics(SM_CMONITORS) < 2)
            GTEST_SKIP() << "one monitor: run under scripts/multi-monitor";
        // In the list's order: wide, upright, wide, upright.
        for (auto [name, w, h, rgb] : {std::tuple{L"a.bmp", 400u, 200u, Red},
                                       {L"b.bmp", 200u, 400u, Blue},
                                       {L"c.bmp", 400u, 200u, Green},
                                       {L"d.bmp", 200u, 400u, Yellow}})
            ASSERT_TRUE(
                test::WritePicture(PictureFolder() + L"\\" + name, GUID_ContainerFormatBmp, w, h, rgb));
        form->Pictures().SetPath(PictureFolder());
        form->Settings().Position = settings::WallpaperPosition::Fill;
        form->Settings().Monitors = settings::MonitorMode::Each;
        monitors = wallpaper::CurrentMonitors();
        ASSERT_EQ(monitors.size(), 2u);
    }
    void Settle() {
        EXPECT_TRUE(test::Pump(form->hwnd(), 20000, [&] { return !form->Pictures().PictureWorkPending(); }));
    }
    // The colour the composed bitmap shows in the middle of monitor i, as 0xRRGGBB.
    long Middle(size_t i) {
        const wallpaper::MonitorRect screen = wallpaper::VirtualScreen(monitors), r = monitors[i].rect;
        return test::BitmapPixel(form->Places().WallpaperBitmapPath, (r.left + r.right) / 2 - screen.left,
                                 (r.top + r.bottom) / 2 - screen.top);
    }
    std::vector<wallpaper::Monitor> monitors; // the upright one first, then the primary
};

} // namespace

TEST_F(EachMonitorTest, TheChangeGivesEachMonitorAPictureOfItsShapeAndARestartWritesNothing) {
    form->Settings().WallpaperInterval = 1;
    form->TimedModes().menu自动更换壁纸_Click();
    form->TimedModes().Timer1_Timer();
    Settle();
    EXPECT_EQ(test::ReadBitmapHeader(form->Places().WallpaperBitmapPath).width, 768 + 1280);
    EXPECT_TRUE(test::Near(Middle(0), Blue, 8)) << std::hex << Middle(0);
    EXPECT_TRUE(test::Near(Middle(1), Red, 8)) << std::hex << Middle(1);
    EXPECT_EQ(form->Pictures().ListIndex(), 1) << "the furthest along, so the next change goes on after it";
    form->TimedModes().Timer1_Timer();
    Settle();
    EXPECT_TRUE(test::Near(Middle(0), Yellow, 8)) << std::hex << Middle(0);
    EXPECT_TRUE(test::Near(Middle(1), Green, 8)) << std::hex << Middle(1);

    // Restarted on the same monitors, the pictures are shown as they are: nothing is written.
    app::RemoveTrayIcon();
    form.reset();
    DeleteFileW(Places().WallpaperBitmapPath.c_str());
    settings::SaveSetting(temp.path(), settings::SectionSettings, settings::KeyMonitors,
                          settings::MonitorsEach);
    form = std::make_unique<app::FormMain>(false, Places());
    ASSERT_TRUE(form->Create());
    form->Pictures();
    Settle();
    EXPECT_FALSE(test::Exists(form->Places().WallpaperBitmapPath));
    // Back one step: the whole arrangement before.
    form->TimedModes().menu上一张墙纸_Click();
    Settle();
    EXPECT_TRUE(test::Near(Middle(0), Blue, 8)) << std::hex << Middle(0);
    EXPECT_TRUE(test::Near(Middle(1), Red, 8)) << std::hex << Middle(1);
}

TEST_F(EachMonitorTest, OneMonitorSetByHandKeepsTheOtherAndBackToOnePictureForAll) {
    form->Settings().Monitors = settings::MonitorMode::Same;
    form->Pictures().SetListIndex(0);
    form->Pictures().Command2_Click();
    Settle();
    EXPECT_EQ(test::ReadBitmapHeader(form->Places().WallpaperBitmapPath).width, 320) << "one picture for all";
    // The list menu's first monitor (the upright one) gets d; the primary keeps a.
    form->Pictures().SetListIndex(3);
    SendMessageW(form->hwnd(), WM_COMMAND, ID_FlieL显示器, 0);
    Settle();
    EXPECT_EQ(form->Settings().Monitors, settings::MonitorMode::Each);
    EXPECT_EQ(settings::GetSetting(temp.path(), settings::SectionSettings, settings::KeyMonitors, L""),
              settings::MonitorsEach);
    EXPECT_TRUE(test::Near(Middle(0), Yellow, 8)) << std::hex << Middle(0);
    EXPECT_TRUE(test::Near(Middle(1), Red, 8)) << std::hex << Middle(1);

    form->Settings().Monitors = settings::MonitorMode::Same;
    form->Pictures().BackToOnePicture();
    Settle();
    EXPECT_EQ(test::ReadBitmapHeader(form->Places().WallpaperBitmapPath).width, 200) << "d, for all monitors";
}

TEST_F(EachMonitorTest, TheTraysCurrentWallpaperHasASubmenuForEachMonitorAndNeverAgainReplacesOnlyItsOwn) {
    form->TimedModes().menu下一张墙纸_Click();
    Settle();
    SendMessageW(form->hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(form->TrayMenu()), 0);
    HMENU current = nullptr;
    for (int i = 0; i < GetMenuItemCount(form->TrayMenu()) && !current; ++i) {
        wchar_t text[64] = L"";
        GetMenuStringW(form->TrayMenu(), i, text, 64, MF_BYPOSITION);
        if (std::wstring(text) == L"当前墙纸") current = GetSubMenu(form->TrayMenu(), i);
    }
    ASSERT_TRUE(current);
    ASSERT_EQ(GetMenuItemCount(current), 2);
    for (int i = 0; i < 2; ++i) {
        wchar_t label[128] = L"", name[128] = L"";
        GetMenuStringW(current, i, label, 128, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(label), wallpaper::MonitorLabel(monitors[size_t(i)], i + 1));
        GetMenuStringW(GetSubMenu(current, i), 0, name, 128, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(name), i == 0 ? L"b.bmp" : L"a.bmp");
    }
    // "不再显示" on the upright monitor's picture: that monitor takes the next upright one, the other keeps its own.
    SendMessageW(form->hwnd(), WM_COMMAND, ID_menu当前墙纸 + 1 + 5, 0);
    Settle();
    EXPECT_TRUE(test::Near(Middle(0), Yellow, 8)) << std::hex << Middle(0);
    EXPECT_TRUE(test::Near(Middle(1), Red, 8)) << std::hex << Middle(1);
}
