#include "wallpaper/pictures/shrink.h"

#include <gtest/gtest.h>
#include <vector>

using namespace wallpaper;

namespace {

struct Image {
    int w, h;
    size_t stride;
    std::vector<uint8_t> px;
    Image(int w, int h, size_t stride)
        : w(w), h(h), stride(stride), px(stride * static_cast<size_t>(h), 0xEE) {}
    uint8_t* at(int x, int y, int bytes) {
        return px.data() + static_cast<size_t>(y) * stride + static_cast<size_t>(x * bytes);
    }
};

Image Shrunk(Image& src, int dw, int dh) {
    Image dst(dw, dh, static_cast<size_t>(dw) * 4 + 8); // padded rows must be honoured
    ShrinkBgr(src.px.data(), src.w, src.h, src.stride, dst.px.data(), dw, dh, dst.stride);
    return dst;
}

} // namespace

TEST(ShrinkBgr, AtTheSameSizeEveryPixelIsCopied) {
    Image src(3, 2, 12);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            for (int c = 0; c < 3; ++c)
                src.at(x, y, 3)[c] = static_cast<uint8_t>(10 * x + 100 * y + c);
    Image dst = Shrunk(src, 3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(dst.at(x, y, 4)[c], 10 * x + 100 * y + c) << x << "," << y;
            EXPECT_EQ(dst.at(x, y, 4)[3], 0);
        }
}

TEST(ShrinkBgr, FineDetailBecomesItsAverageNotBlocks) {
    // A one-pixel checkerboard reduced seven times is an even grey everywhere.
    Image src(70, 70, 212);
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 70; ++x)
            for (int c = 0; c < 3; ++c)
                src.at(x, y, 3)[c] = (x + y) % 2 ? 255 : 0;
    Image dst = Shrunk(src, 10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(dst.at(x, y, 4)[c], 128, 3) << x << "," << y;
}

TEST(ShrinkBgr, UnevenRatiosCoverEverySourcePixelOnce) {
    // 5 → 2 columns: cells of 2 and 3 pixels; the left half dark, the right bright.
    Image src(5, 1, 16);
    const uint8_t values[5] = {0, 100, 200, 200, 200};
    for (int x = 0; x < 5; ++x)
        for (int c = 0; c < 3; ++c)
            src.at(x, 0, 3)[c] = values[x];
    Image dst = Shrunk(src, 2, 1);
    EXPECT_EQ(dst.at(0, 0, 4)[0], 50);
    EXPECT_EQ(dst.at(1, 0, 4)[0], 200);
}

TEST(ShrinkBgr, AWholeLargePictureIntoOnePixelDoesNotOverflow) {
    Image src(6000, 4000, 18000);
    std::fill(src.px.begin(), src.px.end(), 255);
    Image dst = Shrunk(src, 1, 1);
    EXPECT_EQ(dst.at(0, 0, 4)[0], 255);
    EXPECT_EQ(dst.at(0, 0, 4)[2], 255);
}

TEST(ShrinkBgr, BitmapRowsTakeThreeBytesAPixel) {
    Image src(4, 2, 12);
    for (int i = 0; i < 24; ++i) // two colours, left and right
        src.px[static_cast<size_t>(i)] = static_cast<uint8_t>(i % 12 < 6 ? 10 * (i % 3 + 1) : 50 + i % 3);
    Image dst(2, 1, 8); // two pixels and two bytes of padding, which stay as they were
    ShrinkBgr(src.px.data(), 4, 2, src.stride, dst.px.data(), 2, 1, dst.stride, 3);
    EXPECT_EQ(std::vector<uint8_t>(dst.px.begin(), dst.px.end()),
              (std::vector<uint8_t>{10, 20, 30, 50, 51, 52, 0xEE, 0xEE}));
}
