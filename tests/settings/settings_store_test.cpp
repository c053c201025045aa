// The settings store in Wine's registry: where settings live and how stored texts are read back.
#include "settings/settings_store.h"

#include "settings/registry.h"

#include <gtest/gtest.h>

using namespace settings;

namespace {

// A made-up program folder whose settings exist only for one test.
struct ScratchProgram {
    std::wstring folder = L"Z:\\tavolin-test\\" + std::to_wstring(GetCurrentProcessId()) + L"\\程序";
    ~ScratchProgram() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tavolin\\Z:"); }
    void Store(const wchar_t* key, const std::wstring& text) const {
        ASSERT_TRUE(SaveSetting(folder, SectionSettings, key, text));
    }
};

} // namespace

TEST(SettingsStore, AFolderAsApplicationNameMakesNestedKeys) {
    ScratchProgram program;
    program.Store(KeyWallpaperInterval, L"60");
    std::wstring nested =
        L"Software\\Tavolin\\Z:\\tavolin-test\\" + std::to_wstring(GetCurrentProcessId()) + L"\\程序\\设置";
    HKEY k;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, nested.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS);
    RegCloseKey(k);
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, nested, KeyWallpaperInterval), L"60");
    EXPECT_EQ(GetSetting(program.folder, SectionSettings, KeyWallpaperInterval, L"5"), L"60");
    // Another installation folder keeps settings of its own.
    EXPECT_EQ(GetSetting(program.folder + L"2", SectionSettings, KeyWallpaperInterval, L"5"), L"5");
}

TEST(SettingsStore, FirstRunGivesTheDefaults) {
    ScratchProgram program;
    AppSettings s = LoadAppSettings(program.folder);
    EXPECT_EQ(s.WallpaperInterval, 5);
    EXPECT_EQ(s.SlideshowInterval, 3);
    EXPECT_EQ(s.HideAtStart, 0);
    EXPECT_EQ(s.WallpaperFolder, program.folder + L"\\Tavolin壁纸");
}

TEST(SettingsStore, StoredValuesAreReadAndBadOnesGiveTheDefault) {
    ScratchProgram program;
    program.Store(KeyWallpaperInterval, L"120");
    program.Store(KeySlideshowInterval, L"10");
    program.Store(KeyHideAtStart, L"1");
    program.Store(KeyWallpaperFolder, L"D:\\壁纸");
    AppSettings s = LoadAppSettings(program.folder);
    EXPECT_EQ(s.WallpaperInterval, 120);
    EXPECT_EQ(s.SlideshowInterval, 10);
    EXPECT_EQ(s.HideAtStart, 1);
    EXPECT_EQ(s.WallpaperFolder, L"D:\\壁纸");

    program.Store(KeyWallpaperInterval, L"五秒");
    program.Store(KeySlideshowInterval, L"99999999999");
    program.Store(KeyHideAtStart, L"70000");
    s = LoadAppSettings(program.folder);
    EXPECT_EQ(s.WallpaperInterval, 5);
    EXPECT_EQ(s.SlideshowInterval, 3);
    EXPECT_EQ(s.HideAtStart, 0);

    // Ticks are "1" or "0", the monitors' mode one of its two names, a hotkey a number 0..65535; the
    // defaults otherwise.
    const std::pair<const wchar_t*, const wchar_t*> bad[] = {
        {KeyShuffle, L"是"},        {KeySubfolders, L"2"},        {KeyPauseFullScreen, L" 0"},
        {KeyPauseBattery, L"true"}, {KeyPauseLocked, L""},        {KeyMonitors, L"每台"},
        {KeyNextHotkey, L"65536"},  {KeyPreviousHotkey, L"-1102"}};
    for (auto [key, text] : bad)
        program.Store(key, text);
    s = LoadAppSettings(program.folder);
    EXPECT_TRUE(!s.Shuffle && !s.Subfolders && s.PauseFullScreen && !s.PauseBattery && s.PauseLocked);
    EXPECT_EQ(s.Monitors, MonitorMode::Same);
    EXPECT_EQ(s.NextHotkey | s.PreviousHotkey, 0);
}
