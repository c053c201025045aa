// The settings in memory and their names in the store; no Windows headers here.
#pragma once
#include "settings/wallpaper_position.h"

#include <cstdint>
#include <string>

namespace settings {

inline constexpr wchar_t SectionSettings[] = L"设置";
inline constexpr wchar_t SectionAssociation[] = L"文件关联";
inline constexpr wchar_t KeyWallpaperInterval[] = L"替换墙纸的时间间隔";
inline constexpr wchar_t KeySlideshowInterval[] = L"循环看图时间间隔";
inline constexpr wchar_t KeyHideAtStart[] = L"运行后隐藏到托盘区";
inline constexpr wchar_t KeyWallpaperFolder[] = L"墙纸文件夹路径";
inline constexpr wchar_t KeyCheck3[] = L"Check3";
inline constexpr wchar_t KeyMonitors[] = L"多台显示器";
inline constexpr wchar_t KeyShuffle[] = L"随机顺序";
inline constexpr wchar_t KeySubfolders[] = L"包含子文件夹";
inline constexpr wchar_t KeyPauseFullScreen[] = L"全屏时暂停";
inline constexpr wchar_t KeyPauseBattery[] = L"电池时暂停";
inline constexpr wchar_t KeyPauseLocked[] = L"锁屏时暂停";
inline constexpr wchar_t KeyNextHotkey[] = L"下一张墙纸快捷键";
inline constexpr wchar_t KeyPreviousHotkey[] = L"上一张墙纸快捷键";
inline constexpr wchar_t KeyFavouritesOnly[] = L"只用收藏";
inline constexpr wchar_t KeyTimeMode[] = L"按时间选图";
inline constexpr wchar_t KeyCity[] = L"所在城市";
inline constexpr wchar_t KeyLatitude[] = L"纬度";
inline constexpr wchar_t KeyLongitude[] = L"经度";
inline constexpr wchar_t KeySwitchSystemMode[] = L"切换系统深浅色";
inline constexpr wchar_t KeyDaily[] = L"每日图片";
inline constexpr wchar_t KeyDailySetWallpaper[] = L"每日图片设为墙纸";
inline constexpr wchar_t KeyDailyKeep[] = L"每日图片保留";
inline constexpr wchar_t KeyDailyAddress[] = L"每日图片地址";
// How the picture list shows its pictures; stored as the menu item's text.
inline constexpr wchar_t KeyPictureListView[] = L"图片列表视图";
inline constexpr wchar_t ViewThumbnails[] = L"缩略图";
inline constexpr wchar_t ViewList[] = L"列表";

// What several monitors show; stored as the name the dialog's drop-down gives it, in its order.
inline constexpr wchar_t MonitorsSame[] = L"同一张图片";
inline constexpr wchar_t MonitorsEach[] = L"每台显示器各一张";
enum class MonitorMode { Same, Each };

// How the pictures follow the time of day; stored as the drop-down's text, in its order.
inline constexpr const wchar_t* TimeModeNames[] = {L"不按时间", L"按日出日落", L"跟随系统深浅色"};
enum class TimeMode { None, Sun, System };

// How many daily pictures are kept.
inline constexpr int32_t MinDailyKeep = 1, MaxDailyKeep = 365;

struct AppSettings {
    int32_t WallpaperInterval = 5;
    int32_t SlideshowInterval = 3;
    int16_t HideAtStart = 0;
    std::wstring WallpaperFolder;
    WallpaperPosition Position = WallpaperPosition::Center;
    MonitorMode Monitors = MonitorMode::Same;
    bool Shuffle = false, Subfolders = false;
    bool PauseFullScreen = true, PauseBattery = false, PauseLocked = true;
    // As HKM_GETHOTKEY gives them: virtual key low byte, HOTKEYF_ flags high byte; 0 is none.
    uint16_t NextHotkey = 0, PreviousHotkey = 0;
    // The program's own choices take favourites only ("只从收藏中选择").
    bool FavouritesOnly = false;
    // Day and night: the mode, the place (a city's name or "自定义") and its coordinates, and whether
    // Windows' own light and dark mode follows the sun.
    TimeMode Time = TimeMode::None;
    std::wstring City = L"北京";
    double Latitude = 39.9042, Longitude = 116.4074;
    bool SwitchSystemMode = false;
    // The picture of the day: fetched, set as the wallpaper when it comes, how many are kept, and the
    // address asked (empty: the usual one).
    bool Daily = false, DailySetWallpaper = true;
    int32_t DailyKeep = 30;
    std::wstring DailyAddress;
    bool Thumbnails = true; // the picture list shows thumbnails ("缩略图"), else names alone ("列表")
};

} // namespace settings
