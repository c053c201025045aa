#include "wallpaper/picture_pixels.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace wallpaper;

namespace {

// A picture as rows of letters, one letter a pixel (stored in all three bytes).
std::vector<uint8_t> Pixels(const std::vector<std::string>& rows, size_t stride) {
    std::vector<uint8_t> b(stride * rows.size(), 0);
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            for (size_t c = 0; c < 3; ++c)
                b[y * stride + x * 3 + c] = static_cast<uint8_t>(rows[y][x]);
    return b;
}

std::vector<std::string> Letters(const std::vector<uint8_t>& b, size_t w, size_t h, size_t stride) {
    std::vector<std::string> rows(h);
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x)
            rows[y] += static_cast<char>(b[y * stride + x * 3]);
    return rows;
}

} // namespace

TEST(PicturePixels, EachOrientationTurnsThePictureUpright) {
    // Stored:  abc
    //          def      (3 × 2), placed a band of one row at a time as the decoder's bands come.
    const std::vector<std::string> stored = {"abc", "def"};
    const std::vector<std::vector<std::string>> upright = {
        {"abc", "def"},     {"cba", "fed"},     {"fed", "cba"},     {"def", "abc"},
        {"ad", "be", "cf"}, {"da", "eb", "fc"}, {"fc", "eb", "da"}, {"cf", "be", "ad"},
    };
    const size_t rowStride = 3 * 3 + 2; // padded rows
    std::vector<uint8_t> in = Pixels(stored, rowStride);
    for (int o = 1; o <= 8; ++o) {
        size_t w = o >= 5 ? 2 : 3, h = o >= 5 ? 3 : 2, outStride = w * 3 + 1;
        std::vector<uint8_t> out(outStride * h, 0);
        for (uint32_t y = 0; y < 2; ++y)
            PlaceRows(in.data() + y * rowStride, rowStride, 3, 2, y, 1, o, out.data(), outStride);
        EXPECT_EQ(Letters(out, w, h, outStride), upright[o - 1]) << o;
    }
    // A picture wider than the blocks a quarter turn works in, in one band.
    const uint32_t W = 70, H = 3;
    std::vector<uint8_t> wide(W * H * 3), turned(W * H * 3);
    for (uint32_t i = 0; i < W * H * 3; ++i)
        wide[i] = static_cast<uint8_t>(i / 3);
    PlaceRows(wide.data(), W * 3, W, H, 0, H, 6, turned.data(), H * 3);
    for (uint32_t y = 0; y < H; ++y)
        for (uint32_t x = 0; x < W; ++x)
            ASSERT_EQ(turned[(x * H + (H - 1 - y)) * 3], static_cast<uint8_t>(y * W + x)) << x << "," << y;
}

TEST(PicturePixels, TransparentPixelsLieOnTheBackgroundColour) {
    // BGRA: opaque red, clear, half-transparent white; the background is COLORREF 0x00BBGGRR blue-ish.
    std::vector<uint8_t> px = {0, 0, 255, 255, 9, 9, 9, 0, 255, 255, 255, 128};
    LayOnColour(px.data(), px.data(), 3, 0x00804020); // R 0x20, G 0x40, B 0x80
    EXPECT_EQ(std::vector<uint8_t>(px.begin(), px.begin() + 9),
              (std::vector<uint8_t>{0, 0, 255, 0x80, 0x40, 0x20, 192, 160, 144}));
}
