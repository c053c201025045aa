#include "wallpaper/pictures/bitmap_file.h"

#include <algorithm>
#include <cstdint>
#include <cwctype>

namespace wallpaper {

uint64_t BitmapRowBytes(uint32_t width) {
    return (uint64_t{width} * 3 + 3) & ~uint64_t{3};
}

std::optional<std::array<uint8_t, BitmapHeaderBytes>> BitmapFileHeader(uint32_t width, uint32_t height) {
    uint64_t pixels = BitmapRowBytes(width) * height;
    if (!width || !height || width > INT32_MAX || height > INT32_MAX ||
        pixels > UINT32_MAX - BitmapHeaderBytes)
        return std::nullopt;
    std::array<uint8_t, BitmapHeaderBytes> h{};
    auto put = [&h](size_t at, uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            h[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    };
    h[0] = 'B';
    h[1] = 'M';
    put(2, BitmapHeaderBytes + pixels, 4); // file size
    put(10, BitmapHeaderBytes, 4);         // where the pixels start
    put(14, 40, 4);                        // BITMAPINFOHEADER
    put(18, width, 4);
    put(22, height, 4); // positive: bottom-up
    put(26, 1, 2);      // planes
    put(28, 24, 2);     // bits per pixel, BI_RGB
    put(34, pixels, 4);
    put(38, 2835, 4); // 72 dots per inch, as metres
    put(42, 2835, 4);
    return h;
}

} // namespace wallpaper
