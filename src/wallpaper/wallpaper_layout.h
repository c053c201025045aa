// What the wallpaper bitmap holds for each position: which part of the picture, at what size, and
// the desktop's values that place it. No Windows headers here.
#pragma once
#include "settings/wallpaper_position.h"

namespace wallpaper {

// "WallpaperStyle" and "TileWallpaper" under "Control Panel\desktop".
struct DesktopStyle {
    const wchar_t* wallpaperStyle;
    const wchar_t* tileWallpaper;
};
DesktopStyle StyleOf(settings::WallpaperPosition position);

struct BitmapPlan {
    int left = 0, top = 0, width = 0, height = 0; // the part of the picture
    int outWidth = 0, outHeight = 0;              // the bitmap's size
    bool operator==(const BitmapPlan&) const = default;
};

// The bitmap for a w × h picture placed on a screen of screenW × screenH (the primary monitor, or
// the whole virtual screen for 跨区). 填充 and 跨区 keep the middle part with the screen's shape,
// 适应 all of it with its own shape, 拉伸 all of it; each is reduced to the screen, never
// enlarged: the desktop enlarges what is smaller. 居中 and 平铺, and an unknown screen, keep the
// whole picture at its own size.
BitmapPlan PlanBitmap(settings::WallpaperPosition position, int w, int h, int screenW, int screenH);

} // namespace wallpaper
