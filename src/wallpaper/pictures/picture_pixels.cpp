#include "wallpaper/pictures/picture_pixels.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace wallpaper {

void LayOnColour(const uint8_t* bgra, uint8_t* bgr, size_t count, uint32_t background) {
    const uint32_t back[3] = {background >> 16 & 0xFF, background >> 8 & 0xFF, background & 0xFF};
    for (size_t i = 0; i < count; ++i, bgra += 4, bgr += 3) {
        uint32_t a = bgra[3];
        // Read before written: `bgr` may run over the same bytes, never ahead of `bgra`.
        uint8_t b = bgra[0], g = bgra[1], r = bgra[2];
        if (a == 255) {
            bgr[0] = b, bgr[1] = g, bgr[2] = r;
        } else {
            bgr[0] = static_cast<uint8_t>((b * a + back[0] * (255 - a) + 127) / 255);
            bgr[1] = static_cast<uint8_t>((g * a + back[1] * (255 - a) + 127) / 255);
            bgr[2] = static_cast<uint8_t>((r * a + back[2] * (255 - a) + 127) / 255);
        }
    }
}

void PlaceRows(const uint8_t* rows, size_t rowStride, uint32_t width, uint32_t height, uint32_t top,
               uint32_t count, int orientation, uint8_t* out, size_t outStride) {
    if (orientation < 2 || orientation > 8) { // as stored
        for (uint32_t y = 0; y < count; ++y)
            std::memcpy(out + (top + y) * outStride, rows + y * rowStride, size_t{width} * 3);
        return;
    }
    // Where pixel (x, y) of the stored picture goes: origin + x * stepX + y * stepY, in bytes.
    const auto W = static_cast<ptrdiff_t>(width), H = static_cast<ptrdiff_t>(height),
               S = static_cast<ptrdiff_t>(outStride);
    ptrdiff_t origin = 0, stepX = 3, stepY = S;
    switch (orientation) {
    case 2:
        origin = (W - 1) * 3, stepX = -3, stepY = S;
        break;
    case 3:
        origin = (W - 1) * 3 + (H - 1) * S, stepX = -3, stepY = -S;
        break;
    case 4:
        origin = (H - 1) * S, stepX = 3, stepY = -S;
        break;
    case 5:
        origin = 0, stepX = S, stepY = 3;
        break;
    case 6:
        origin = (H - 1) * 3, stepX = S, stepY = -3;
        break;
    case 7:
        origin = (H - 1) * 3 + (W - 1) * S, stepX = -S, stepY = -3;
        break;
    case 8:
        origin = (W - 1) * S, stepX = -S, stepY = 3;
        break;
    }
    // A quarter turn writes columns: a few dozen at a time keep the rows they touch in the cache.
    const uint32_t tile = orientation >= 5 ? 32 : width;
    for (uint32_t x0 = 0; x0 < width; x0 += tile) {
        const uint32_t x1 = std::min(width, x0 + tile);
        for (uint32_t y = 0; y < count; ++y) {
            const uint8_t* from = rows + y * rowStride + size_t{x0} * 3;
            ptrdiff_t at =
                origin + static_cast<ptrdiff_t>(top + y) * stepY + static_cast<ptrdiff_t>(x0) * stepX;
            for (uint32_t x = x0; x < x1; ++x, from += 3, at += stepX)
                std::memcpy(out + at, from, 3);
        }
    }
}

PixelBox StoredBox(int orientation, uint32_t storedW, uint32_t storedH, PixelBox upright) {
    if (upright.width == 0 || upright.height == 0) return {};
    // The stored pixel behind the upright pixel (x, y); the box's two corners give the whole box.
    auto stored = [&](uint32_t x, uint32_t y) -> std::pair<uint32_t, uint32_t> {
        switch (orientation) {
        case 2:
            return {storedW - 1 - x, y};
        case 3:
            return {storedW - 1 - x, storedH - 1 - y};
        case 4:
            return {x, storedH - 1 - y};
        case 5:
            return {y, x};
        case 6:
            return {y, storedH - 1 - x};
        case 7:
            return {storedW - 1 - y, storedH - 1 - x};
        case 8:
            return {storedW - 1 - y, x};
        }
        return {x, y};
    };
    auto [x0, y0] = stored(upright.left, upright.top);
    auto [x1, y1] = stored(upright.left + upright.width - 1, upright.top + upright.height - 1);
    return {std::min(x0, x1), std::min(y0, y1), (x0 > x1 ? x0 - x1 : x1 - x0) + 1,
            (y0 > y1 ? y0 - y1 : y1 - y0) + 1};
}

} // namespace wallpaper
