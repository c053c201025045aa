// What the wallpaper bitmap holds for each position: which part of the picture, at what size, and
// the desktop's values that place it. No Windows headers here.
#pragma once
#include "settings/wallpaper_position.h"
#include "wallpaper/pictures/fit.h"

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

// The bitmap for a w × h picture placed on a screen of screenW × screenH (the primary monitor, the
// whole virtual screen for 跨区, the largest monitor each way for 居中). 填充 and 跨区 keep the middle
// part with the screen's shape, 适应 all of it with its own shape, 拉伸 all of it; each is reduced to
// the screen, never enlarged: the desktop enlarges what is smaller. 居中 keeps the middle part that
// a screen can show, at its own size: Windows centres the bitmap on each monitor, so the desktop
// shows the same pixels. 平铺, and an unknown screen, keep the whole picture at its own size.
BitmapPlan PlanBitmap(settings::WallpaperPosition position, int w, int h, int screenW, int screenH);

struct PixelSize {
    int width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};

// What a picture is decoded for, so that a codec that can scale while it decodes stops at the size
// that is needed.
struct DecodeTarget {
    // A thumbnail is fitted as the preview is; its transparent pixels lie on the list's colour.
    enum class Use { Whole, Preview, Wallpaper, Thumbnail } use = Use::Whole;
    int width = 0, height = 0; // the preview pane, or the screen (ScreenFor) for the wallpaper
    settings::WallpaperPosition position = settings::WallpaperPosition::Center;
};

// The smallest size of the whole w × h picture that still covers what `target` shows of it: the
// fitted size in the preview, the part PlanBitmap keeps scaled to its bitmap, else w × h.
PixelSize NeededSize(const DecodeTarget& target, int w, int h);

// The divisor (1, 2, 4 or 8) for a decoder that can scale by those: the largest at which the w × h
// picture, decoded at ⌈w/d⌉ × ⌈h/d⌉, still covers `need`.
int DecodeDivisor(int w, int h, PixelSize need);

} // namespace wallpaper
