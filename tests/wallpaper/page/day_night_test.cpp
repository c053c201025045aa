// Day and night in a running main window: the wallpaper follows the sun at a place where it is about
// to set, and Windows' light and dark mode.
#include "app/tray.h"
#include "res/resource.h"
#include "tests/support/main_window.h"
#include "tests/support/user_input.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/page/day_night.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t Personalize[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

DWORD LightValue(const wchar_t* name) {
    DWORD value = 7, size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, Personalize, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}
void SetLight(DWORD value) {
    for (const wchar_t* name : {L"AppsUseLightTheme", L"SystemUsesLightTheme"})
        RegSetKeyValueW(HKEY_CURRENT_USER, Personalize, name, REG_DWORD, &value, sizeof value);
}

class DayNightTest : public test::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (HasFatalFailure()) return;
        // Widths tell the pictures apart once they are the wallpaper bitmap.
        for (auto [name, width] : {std::pair{L"白天", 20}, {L"夜晚", 30}}) {
            CreateDirectoryW((PictureFolder() + L"\\" + name).c_str(), nullptr);
            ASSERT_TRUE(test::WritePicture(PictureFolder() + L"\\" + name + L"\\p.bmp", GUID_ContainerFormatBmp,
                                           UINT(width), 10));
        }
        form->Settings().WallpaperInterval = 3600;
    }
    void TearDown() override {
        SetLight(1);
        MainWindowTest::TearDown();
    }
    // Lists the folder as the mode has it, with the day's picture on show.
    void ShowDayPicture() {
        form->Pictures().SetPath(PictureFolder());
        ASSERT_TRUE(test::Pump(form->hwnd(), 10000, [&] { return form->Pictures().ListCount() == 2; }));
        const int day = form->Pictures().List(0) == L"白天\\p.bmp" ? 0 : 1;
        ASSERT_EQ(form->Pictures().List(day), L"白天\\p.bmp");
        form->Pictures().SetListIndex(day);
        SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(ui::IDC_Command2, BN_CLICKED), 0);
        ASSERT_TRUE(Settled());
        ASSERT_EQ(WallpaperWidth(), 20);
    }
    bool Settled() {
        return test::Pump(form->hwnd(), 20000, [&] { return !form->Pictures().PictureWorkPending(); });
    }
    int WallpaperWidth() const { return test::ReadBitmapHeader(form->Places().WallpaperBitmapPath).width; }
};

} // namespace

TEST_F(DayNightTest, AtSunsetTheNightsPictureTakesOverByItselfAndWindowsGoesDark) {
    // A place on the equator where the sun sets a few seconds from now.
    const int64_t now = wallpaper::LocalNow().nowUtc;
    double longitude = 0;
    for (double lon = -180; lon < 180; lon += 0.005) {
        wallpaper::SunPhase sun = wallpaper::PhaseNow(now, 0, lon);
        if (sun.phase == wallpaper::Phase::Day && sun.nextSwitch && *sun.nextSwitch - now >= 3 &&
            *sun.nextSwitch - now <= 5) {
            longitude = lon;
            break;
        }
    }
    ASSERT_NE(longitude, 0);
    SetLight(1);
    settings::AppSettings& s = form->Settings();
    s.Time = settings::TimeMode::Sun;
    s.City = L"自定义";
    s.Latitude = 0;
    s.Longitude = longitude;
    s.SwitchSystemMode = true;
    ShowDayPicture();
    const std::wstring bitmap = form->Places().WallpaperBitmapPath;
    FILETIME before{}, after{};
    auto written = [&](FILETIME& t) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW(bitmap.c_str(), GetFileExInfoStandard, &data);
        t = data.ftLastWriteTime;
    };
    written(before);
    form->TimedModes().CheckPhase();
    EXPECT_TRUE(Settled());
    written(after);
    EXPECT_EQ(CompareFileTime(&before, &after), 0) << "the day's picture is on show: nothing is written";
    EXPECT_NE(app::TrayTip().find(L"白天（日落 "), std::wstring::npos) << app::TrayTip();

    // The timer set for the sunset brings the night's picture, and Windows' dark mode with it.
    EXPECT_TRUE(test::Pump(form->hwnd(), 20000, [&] { return Settled() && WallpaperWidth() == 30; }));
    EXPECT_EQ(LightValue(L"AppsUseLightTheme"), 0u);
    EXPECT_EQ(LightValue(L"SystemUsesLightTheme"), 0u);
    EXPECT_NE(app::TrayTip().find(L"夜晚（日出 "), std::wstring::npos) << app::TrayTip();
    SendMessageW(form->hwnd(), WM_COMMAND, ID_menu上一张墙纸, 0);
    EXPECT_TRUE(Settled());
    EXPECT_EQ(WallpaperWidth(), 20) << "the switch went through the history";
}

TEST_F(DayNightTest, WindowsLightAndDarkModeIsFollowedWhenItChanges) {
    SetLight(1);
    form->Settings().Time = settings::TimeMode::System;
    ShowDayPicture();
    form->TimedModes().CheckPhase();
    EXPECT_EQ(form->TimedModes().CurrentPhase(), wallpaper::Phase::Day);
    SetLight(0);
    // As Windows' settings page tells every window.
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    EXPECT_TRUE(test::Pump(form->hwnd(), 10000, [&] { return Settled() && WallpaperWidth() == 30; }));
    EXPECT_EQ(app::TrayTip(), L"Tavolin(Quorvel)") << "the tip names the sun's times only";
}
