// Making a picture the desktop wallpaper, always through the one bitmap file.
#pragma once
#include "settings/wallpaper_position.h"
#include "wallpaper/pictures/picture.h"

#include <string>

namespace wallpaper {

inline constexpr wchar_t DesktopKey[] = L"Control Panel\\desktop";

struct ScreenSize {
    int width = 0, height = 0;
};

// The screen a position fills, as it is now: the whole virtual screen for 跨区, the largest width and
// height among the monitors for 居中, else the primary monitor.
ScreenSize ScreenFor(settings::WallpaperPosition position);

// Writes the picture to `bitmapPath` as a bitmap made for `position` on `screen` (PlanBitmap), sets
// the desktop's "TileWallpaper" and "WallpaperStyle" for the position (居中: "0" and "0") and
// "Wallpaper" = `bitmapPath`, and has the system load it. The bitmap's folder is made when missing.
// When the bitmap cannot be written nothing else is changed and the reason is returned; empty text
// when it was written.
std::wstring SetWallpaper(const Picture& picture, const std::wstring& bitmapPath,
                          settings::WallpaperPosition position = settings::WallpaperPosition::Center,
                          ScreenSize screen = {});

// True when the desktop shows the bitmap at `bitmapPath` now.
bool IsCurrentWallpaper(const std::wstring& bitmapPath);

} // namespace wallpaper
