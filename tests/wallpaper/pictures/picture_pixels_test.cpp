#include "wallpaper/pictures/picture_pixels.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace wallpaper;

// Where each orientation puts each corner is checked through Picture::Load under Wine (picture_test.cpp);
// here the native build checks every byte the turn reads and writes.
TEST(PicturePixels, EveryOrientationPlacesEachPixelOnceInBandsOfAnyHeight) {
    // 70 × 3, wider than the blocks a quarter turn works in, each pixel a value of its own; padded rows.
    const uint32_t W = 70, H = 3;
    const size_t stride = W * 3 + 2;
    std::vector<uint8_t> in(stride * H);
    for (uint32_t y = 0; y < H; ++y)
        for (uint32_t x = 0; x < W * 3; ++x)
            in[y * stride + x] = static_cast<uint8_t>(y * W + x / 3);
    for (uint32_t band : {1u, H})
        for (int o = 1; o <= 8; ++o) {
            const uint32_t w = o >= 5 ? H : W, h = o >= 5 ? W : H;
            const size_t outStride = w * 3 + 1;
            std::vector<uint8_t> out(outStride * h, 0xFF);
            for (uint32_t y = 0; y < H; y += band)
                PlaceRows(in.data() + y * stride, stride, W, H, y, band, o, out.data(), outStride);
            std::vector<int> times(256);
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x)
                    ++times[out[y * outStride + x * 3]];
            EXPECT_EQ(std::count(times.begin(), times.begin() + W * H, 1), std::ptrdiff_t{W * H})
                << o << " in bands of " << band;
            if (o != 6) continue;
            for (uint32_t y = 0; y < H; ++y) // a quarter turn clockwise
                for (uint32_t x = 0; x < W; ++x)
                    ASSERT_EQ(out[x * outStride + (H - 1 - y) * 3], in[y * stride + x * 3]) << x << "," << y;
        }
}

TEST(PicturePixels, TransparentPixelsLieOnTheBackgroundColour) {
    // BGRA: opaque red, clear, half-transparent white; the background is COLORREF 0x00BBGGRR blue-ish.
    std::vector<uint8_t> px = {0, 0, 255, 255, 9, 9, 9, 0, 255, 255, 255, 128};
    LayOnColour(px.data(), px.data(), 3, 0x00804020); // R 0x20, G 0x40, B 0x80
    EXPECT_EQ(std::vector<uint8_t>(px.begin(), px.begin() + 9),
              (std::vector<uint8_t>{0, 0, 255, 0x80, 0x40, 0x20, 192, 160, 144}));
}
