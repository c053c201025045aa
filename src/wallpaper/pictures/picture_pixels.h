// What happens to a picture's pixels between the decoder and the rest of the program: transparent
// pixels laid on a colour, and the turn that an orientation asks for. No Windows headers here.
#pragma once
#include <cstddef>
#include <cstdint>

namespace wallpaper {

// Lays `count` 32-bit BGRA pixels (straight alpha) on the colour `background` (0x00BBGGRR, as a
// COLORREF) and writes them as 24-bit BGR to `bgr`, which may be `bgra` itself.
void LayOnColour(const uint8_t* bgra, uint8_t* bgr, size_t count, uint32_t background);

// Puts rows `top` to `top + count` of a width × height 24-bit BGR picture (given in `rows`, `rowStride`
// bytes apart) where they belong in the picture turned by `orientation` (1 to 8, see
// picture_orientation.h): `out` is the turned picture, height × width for 5 to 8, rows `outStride`
// bytes apart. Called for every band of rows, it makes the whole turned picture.
void PlaceRows(const uint8_t* rows, size_t rowStride, uint32_t width, uint32_t height, uint32_t top,
               uint32_t count, int orientation, uint8_t* out, size_t outStride);

// A rectangle of pixels.
struct PixelBox {
    uint32_t left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PixelBox&) const = default;
};

// The part of a picture stored as storedW × storedH that shows as `upright` once the picture is turned
// by `orientation`: pictures are kept as stored and turned only in the copy that reduces them.
PixelBox StoredBox(int orientation, uint32_t storedW, uint32_t storedH, PixelBox upright);

} // namespace wallpaper
