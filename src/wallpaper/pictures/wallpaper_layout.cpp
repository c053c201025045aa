#include "wallpaper/pictures/wallpaper_layout.h"

#include <algorithm>
#include <cstdint>

namespace wallpaper {

using settings::WallpaperPosition;

DesktopStyle StyleOf(WallpaperPosition position) {
    switch (position) {
    case WallpaperPosition::Fill:
        return {L"10", L"0"};
    case WallpaperPosition::Fit:
        return {L"6", L"0"};
    case WallpaperPosition::Stretch:
        return {L"2", L"0"};
    case WallpaperPosition::Tile:
        return {L"0", L"1"};
    case WallpaperPosition::Span:
        return {L"22", L"0"};
    case WallpaperPosition::Center:
        break;
    }
    return {L"0", L"0"};
}

namespace {

// a * b / c rounded, at least 1; 64-bit so that no picture size overflows.
int Scaled(int a, int b, int c) {
    return std::max(1, static_cast<int>((int64_t{a} * b + c / 2) / c));
}

} // namespace

BitmapPlan PlanBitmap(WallpaperPosition position, int w, int h, int screenW, int screenH) {
    BitmapPlan plan{0, 0, w, h, w, h};
    if (w <= 0 || h <= 0 || screenW <= 0 || screenH <= 0) return plan;
    // Compared by cross products, so equal shapes are equal exactly.
    const bool wider = int64_t{w} * screenH > int64_t{h} * screenW;
    switch (position) {
    case WallpaperPosition::Fill:
    case WallpaperPosition::Span:
        if (wider) {
            plan.width = std::min(w, Scaled(h, screenW, screenH));
            plan.left = (w - plan.width) / 2;
        } else {
            plan.height = std::min(h, Scaled(w, screenH, screenW));
            plan.top = (h - plan.height) / 2;
        }
        if (plan.width >= screenW && plan.height >= screenH) {
            plan.outWidth = screenW;
            plan.outHeight = screenH;
        } else {
            plan.outWidth = plan.width;
            plan.outHeight = plan.height;
        }
        break;
    case WallpaperPosition::Fit:
        if (w > screenW || h > screenH) {
            plan.outWidth = wider ? screenW : Scaled(w, screenH, h);
            plan.outHeight = wider ? Scaled(h, screenW, w) : screenH;
        }
        break;
    case WallpaperPosition::Stretch:
        plan.outWidth = std::min(w, screenW);
        plan.outHeight = std::min(h, screenH);
        break;
    case WallpaperPosition::Center:
        plan.width = plan.outWidth = std::min(w, screenW);
        plan.height = plan.outHeight = std::min(h, screenH);
        plan.left = (w - plan.width) / 2;
        plan.top = (h - plan.height) / 2;
        break;
    case WallpaperPosition::Tile:
        break;
    }
    return plan;
}

namespace {

// a * b / c rounded up.
int ScaledUp(int a, int b, int c) {
    return static_cast<int>((int64_t{a} * b + c - 1) / c);
}

} // namespace

PixelSize NeededSize(const DecodeTarget& target, int w, int h) {
    switch (target.use) {
    case DecodeTarget::Use::Preview:
    case DecodeTarget::Use::Thumbnail:
        if (auto p = FitPicture(static_cast<float>(target.width), static_cast<float>(target.height),
                                static_cast<float>(w), static_cast<float>(h))) {
            PixelRect r = ToPixels(*p);
            return {std::min(w, r.width), std::min(h, r.height)};
        }
        break;
    case DecodeTarget::Use::Wallpaper: {
        BitmapPlan plan = PlanBitmap(target.position, w, h, target.width, target.height);
        return {ScaledUp(w, plan.outWidth, plan.width), ScaledUp(h, plan.outHeight, plan.height)};
    }
    case DecodeTarget::Use::Whole:
        break;
    }
    return {w, h};
}

int DecodeDivisor(int w, int h, PixelSize need) {
    int d = 8;
    while (d > 1 && (ScaledUp(w, 1, d) < need.width || ScaledUp(h, 1, d) < need.height))
        d /= 2;
    return d;
}

} // namespace wallpaper
