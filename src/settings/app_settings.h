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

struct AppSettings {
    int32_t WallpaperInterval = 5;
    int32_t SlideshowInterval = 3;
    int16_t HideAtStart = 0;
    std::wstring WallpaperFolder;
    WallpaperPosition Position = WallpaperPosition::Center;
};

} // namespace settings
