// Making a picture the desktop wallpaper, always through the one bitmap file.
#pragma once
#include "wallpaper/picture.h"

#include <string>

namespace wallpaper {

inline constexpr wchar_t DesktopKey[] = L"Control Panel\\desktop";

// Writes the picture to `bitmapPath` as a bitmap, sets the desktop's "TileWallpaper" = "0",
// "WallpaperStyle" = "0" (centred) and "Wallpaper" = `bitmapPath`, and has the system load it.
// The bitmap's folder is made when missing. When the bitmap cannot be written nothing else is changed and the reason is returned; empty
// text when it was written.
std::wstring SetWallpaper(const Picture& picture, const std::wstring& bitmapPath);

} // namespace wallpaper
