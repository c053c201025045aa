#include "settings/settings_store.h"

#include "core/identity.h"
#include "settings/cities.h"
#include "settings/coordinates.h"
#include "settings/registry.h"
#include "settings/setting_text.h"

#include <algorithm>

namespace settings {

std::wstring StoreKey(const std::wstring& application, const std::wstring& section) {
    return L"Software\\Tavolin\\" + application + L"\\" + section;
}

std::wstring GetSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                        const std::wstring& fallback) {
    return GetRegistryString(HKEY_CURRENT_USER, StoreKey(application, section), key, fallback);
}

bool SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                 const std::wstring& text) {
    return SetRegistryString(HKEY_CURRENT_USER, StoreKey(application, section), key, text);
}

AppSettings LoadAppSettings(const std::wstring& programFolder) {
    AppSettings s;
    s.WallpaperInterval =
        ParseStoredInt32(GetSetting(programFolder, SectionSettings, KeyWallpaperInterval, L"5"), 5);
    s.SlideshowInterval =
        ParseStoredInt32(GetSetting(programFolder, SectionSettings, KeySlideshowInterval, L"3"), 3);
    s.HideAtStart = ParseStoredInt16(GetSetting(programFolder, SectionSettings, KeyHideAtStart, L"0"), 0);
    s.WallpaperFolder = GetSetting(programFolder, SectionSettings, KeyWallpaperFolder,
                                   programFolder + core::PictureFolderName);
    s.Position = ParsePosition(GetSetting(programFolder, SectionSettings, KeyWallpaperPosition, L""));
    s.Monitors = ParseMonitorMode(GetSetting(programFolder, SectionSettings, KeyMonitors, L""));
    for (auto [key, flag] : {std::pair{KeyShuffle, &s.Shuffle},
                             {KeySubfolders, &s.Subfolders},
                             {KeyPauseFullScreen, &s.PauseFullScreen},
                             {KeyPauseBattery, &s.PauseBattery},
                             {KeyPauseLocked, &s.PauseLocked}})
        *flag = ParseStoredFlag(GetSetting(programFolder, SectionSettings, key, L""), *flag);
    s.NextHotkey = ParseStoredHotkey(GetSetting(programFolder, SectionSettings, KeyNextHotkey, L""));
    s.PreviousHotkey = ParseStoredHotkey(GetSetting(programFolder, SectionSettings, KeyPreviousHotkey, L""));
    auto text = [&](const wchar_t* key) { return GetSetting(programFolder, SectionSettings, key, L""); };
    for (auto [key, flag] : {std::pair{KeyFavouritesOnly, &s.FavouritesOnly},
                             {KeySwitchSystemMode, &s.SwitchSystemMode},
                             {KeyDaily, &s.Daily},
                             {KeyDailySetWallpaper, &s.DailySetWallpaper}})
        *flag = ParseStoredFlag(text(key), *flag);
    const std::wstring mode = text(KeyTimeMode);
    for (int i = 0; i < 3; ++i)
        if (mode == TimeModeNames[i]) s.Time = static_cast<TimeMode>(i);
    // A city named is taken with its own coordinates; "自定义" with those stored, where they are sound.
    const std::wstring city = text(KeyCity);
    if (const City* known = FindCity(city)) {
        s.City = known->name;
        s.Latitude = known->latitude;
        s.Longitude = known->longitude;
    } else if (city == CustomCity) {
        std::optional<double> latitude = ParseLatitude(text(KeyLatitude)), longitude = ParseLongitude(text(KeyLongitude));
        if (latitude && longitude) {
            s.City = CustomCity;
            s.Latitude = *latitude;
            s.Longitude = *longitude;
        }
    }
    s.DailyKeep = std::clamp(ParseStoredInt32(text(KeyDailyKeep), s.DailyKeep), MinDailyKeep, MaxDailyKeep);
    s.DailyAddress = text(KeyDailyAddress);
    s.Thumbnails = GetSetting(programFolder, SectionSettings, KeyPictureListView, ViewThumbnails) != ViewList;
    return s;
}

} // namespace settings
