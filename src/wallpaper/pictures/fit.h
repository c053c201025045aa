// Where the preview puts a picture: scaled down to fit the pane and centred, never enlarged.
// No Windows headers here.
#pragma once
#include <optional>

namespace wallpaper {

struct Placement {
    bool stretch = false; // false: drawn at the picture's own size
    float left = 0, top = 0, width = 0, height = 0;
};

// Fits a Wp × Hp picture into a Wb × Hb pane (all in the pane's units). A picture larger in
// either direction is scaled by the larger ratio; equal ratios take the height. Nothing for an
// empty pane or picture.
std::optional<Placement> FitPicture(float Wb, float Hb, float Wp, float Hp);

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};
// The placement in whole pixels, at least one pixel each way.
PixelRect ToPixels(const Placement& p);

} // namespace wallpaper
