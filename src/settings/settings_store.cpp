#include "settings/settings_store.h"

#include "core/identity.h"
#include "settings/registry.h"
#include "settings/setting_text.h"

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
    s.Thumbnails = GetSetting(programFolder, SectionSettings, KeyPictureListView, ViewThumbnails) != ViewList;
    return s;
}

} // namespace settings
