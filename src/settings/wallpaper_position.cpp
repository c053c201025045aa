#include "settings/wallpaper_position.h"

namespace settings {

std::wstring PositionName(WallpaperPosition position) {
    return WallpaperPositionNames[static_cast<size_t>(position)];
}

WallpaperPosition ParsePosition(const std::wstring& stored) {
    for (size_t i = 0; i < WallpaperPositionNames.size(); ++i)
        if (stored == WallpaperPositionNames[i]) return static_cast<WallpaperPosition>(i);
    return WallpaperPosition::Center;
}

} // namespace settings
