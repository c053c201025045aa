#include "wallpaper/pictures/picture_header.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace wallpaper;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes Be16(uint32_t v) {
    return {uint8_t(v >> 8), uint8_t(v)};
}
Bytes Le16(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8)};
}
Bytes Le32(uint32_t v) {
    return Le16(v & 0xFFFF) + Le16(v >> 16);
}
Bytes Be32(uint32_t v) {
    return Be16(v >> 16) + Be16(v & 0xFFFF);
}

std::optional<PictureHeader> Read(const Bytes& b) {
    return ReadPictureHeader(b.data(), b.size());
}

void ExpectSize(const Bytes& b, PictureFormat format, uint32_t w, uint32_t h) {
    auto header = Read(b);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->format, format);
    EXPECT_EQ(header->width, w);
    EXPECT_EQ(header->height, h);
}

// JPEG pieces: a frame header (SOF0 unless told), a segment with a body, the start of the scan.
Bytes Sof(uint32_t w, uint32_t h, uint8_t components = 3, uint8_t marker = 0xC0) {
    Bytes b = {0xFF, marker};
    b = b + Be16(8 + 3u * components) + Bytes{8} + Be16(h) + Be16(w) + Bytes{components};
    for (uint8_t c = 1; c <= components; ++c)
        b = b + Bytes{c, 0x11, 0};
    return b;
}
Bytes Segment(uint8_t marker, const Bytes& body) {
    return Bytes{0xFF, marker} + Be16(2 + body.size()) + body;
}
const Bytes Soi = {0xFF, 0xD8}, Sos = {0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 63, 0};
const Bytes App0 = Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
// Scan data of one bit per 8 × 8 block: the least a JPEG of that many pixels can hold.
Bytes Scan(uint64_t pixels) {
    return Sos + Bytes(pixels / 512, 0x55);
}

} // namespace

TEST(PictureHeader, JpegSizeComesFromTheFirstFrameHeaderFoundAsTheDecoderWalks) {
    ExpectSize(Soi + App0 + Sof(640, 480) + Scan(640 * 480), PictureFormat::Jpeg, 640, 480);
    ExpectSize(Soi + Sof(1, 1, 1) + Sos, PictureFormat::Jpeg, 1, 1);
    // Progressive and arithmetic frames are decoded too; lossless and hierarchical ones are not.
    ExpectSize(Soi + Sof(300, 200, 3, 0xC2) + Scan(300 * 200), PictureFormat::Jpeg, 300, 200);
    ExpectSize(Soi + Sof(300, 200, 3, 0xC9) + Scan(300 * 200), PictureFormat::Jpeg, 300, 200);
    EXPECT_FALSE(Read(Soi + Sof(300, 200, 3, 0xC3) + Scan(300 * 200)));
    // Stray bytes, fill bytes and restart markers between segments are passed over.
    ExpectSize(Soi + Bytes{1, 2, 3, 0xFF, 0xFF, 0xFF, 0xD3} + App0 + Bytes{0xFF, 0x00} + Sof(64, 48),
               PictureFormat::Jpeg, 64, 48);
    // A frame header hidden inside a segment's body is not the frame.
    ExpectSize(Soi + Segment(0xE1, Sof(60000, 60000)) + Sof(320, 240) + Scan(320 * 240), PictureFormat::Jpeg,
               320, 240);
}

TEST(PictureHeader, JpegWithoutAUsableFrameHeaderOrBeyondTheLimitsIsRefused) {
    EXPECT_FALSE(Read(Soi + App0 + Sos + Sof(64, 48)));                           // scan before frame
    EXPECT_FALSE(Read(Soi + App0 + Bytes{0xFF, 0xD9} + Sof(64, 48)));             // end before frame
    EXPECT_FALSE(Read(Soi + App0 + Bytes{0xFF, 0xC8, 0, 4, 0, 0} + Sof(64, 48))); // unknown marker
    EXPECT_FALSE(Read(Soi + App0 + Bytes{0xFF, 0xE2, 0, 1} + Sof(64, 48)));       // length too small
    Bytes cut = Soi + App0 + Sof(64, 48);
    cut.erase(cut.end() - 12, cut.end());
    EXPECT_FALSE(Read(cut));
    EXPECT_FALSE(Read(Soi + Sof(0, 48)));
    EXPECT_FALSE(Read(Soi + Sof(64, 0)));
    EXPECT_FALSE(Read(Soi + Sof(64, 48, 0)));
    EXPECT_FALSE(Read(Soi + Sof(64, 48, 5)));
    EXPECT_FALSE(Read(Soi + Sof(65500, 65500) + Scan(65500ull * 65500)));
    EXPECT_FALSE(Read(Soi + Sof(16385, 16) + Scan(16385 * 16)));
    ExpectSize(Soi + Sof(16384, 8192) + Scan(16384 * 8192), PictureFormat::Jpeg, 16384, 8192);
    EXPECT_FALSE(Read(Soi + Sof(16384, 8193) + Scan(16384 * 8193)));
    // A fragment cannot hold the picture it claims: a few hundred bytes for 8192 × 16384 pixels.
    Bytes fragment = Soi + App0 + Sof(8192, 16384) + Sos;
    fragment.resize(8192 * 16384 / 512, 0x55);
    ExpectSize(fragment, PictureFormat::Jpeg, 8192, 16384);
    fragment.pop_back();
    EXPECT_FALSE(Read(fragment));
    EXPECT_FALSE(Read(Soi + App0 + Sof(8192, 16384) + Sos));
}

namespace {

Bytes GifHead(uint32_t w, uint32_t h, bool table = true) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    b = b + Le16(w) + Le16(h) + Bytes{uint8_t(table ? 0x80 : 0), 0, 0};
    if (table) b = b + Bytes(6, 0x7F); // two colours
    return b;
}
Bytes GifFrame(uint32_t w, uint32_t h) {
    return Bytes{0x2C} + Le16(0) + Le16(0) + Le16(w) + Le16(h) + Bytes{0, 2, 3, 0x4C, 0x01, 0x00, 0};
}
const Bytes GifControl = {0x21, 0xF9, 4, 0, 10, 0, 0, 0};
const Bytes GifEnd = {0x3B};

} // namespace

TEST(PictureHeader, GifSizeIsTheFirstFramesAndEveryFrameCounts) {
    ExpectSize(GifHead(100, 50) + GifControl + GifFrame(40, 30) + GifEnd, PictureFormat::Gif, 40, 30);
    ExpectSize(GifHead(0, 0, false) + GifFrame(40, 30) + GifFrame(10, 10) + GifEnd, PictureFormat::Gif, 40,
               30);
    // Frames are counted as far as the decoder reads: a cut-off last frame still counts.
    Bytes cut = GifHead(40, 30) + GifFrame(40, 30) + GifFrame(16000, 16000);
    cut.erase(cut.end() - 4, cut.end());
    EXPECT_FALSE(Read(cut));
    ExpectSize(GifHead(40, 30) + GifFrame(40, 30) + Bytes{0x99} + GifFrame(16000, 16000), PictureFormat::Gif,
               40, 30);
    // Sixteen frames of 4096 × 4096 make 2^28 pixels together: too many to hold at once.
    Bytes many = GifHead(4096, 4096);
    for (int i = 0; i < 8; ++i)
        many = many + GifFrame(4096, 4096);
    ExpectSize(many, PictureFormat::Gif, 4096, 4096);
    for (int i = 0; i < 8; ++i)
        many = many + GifFrame(4096, 4096);
    EXPECT_FALSE(Read(many));

    EXPECT_FALSE(Read(GifHead(40, 30) + GifEnd));                   // no frame
    EXPECT_FALSE(Read(GifHead(40, 30) + GifFrame(0, 30) + GifEnd)); // an empty one
    EXPECT_FALSE(Read(GifHead(60000, 30) + GifFrame(40, 30)));      // a huge screen
    EXPECT_FALSE(Read(GifHead(40, 30) + GifFrame(40, 17000)));      // a huge frame
}

namespace {

Bytes BmpInfo(int32_t w, int32_t h, uint32_t headerSize = 40) {
    Bytes b = Bytes{'B', 'M'} + Le32(0) + Le32(0) + Le32(14 + headerSize) + Le32(headerSize);
    return b + Le32(static_cast<uint32_t>(w)) + Le32(static_cast<uint32_t>(h)) + Le16(1) + Le16(24) +
           Bytes(headerSize > 16 ? headerSize - 16 : 0, 0);
}

} // namespace

TEST(PictureHeader, BmpAndPngSizesComeFromTheirHeaders) {
    ExpectSize(BmpInfo(7, 400), PictureFormat::Bmp, 7, 400);
    ExpectSize(BmpInfo(7, -400, 124), PictureFormat::Bmp, 7, 400); // stored top-down
    Bytes core =
        Bytes{'B', 'M'} + Le32(0) + Le32(0) + Le32(26) + Le32(12) + Le16(33) + Le16(17) + Le16(1) + Le16(24);
    ExpectSize(core, PictureFormat::Bmp, 33, 17);
    EXPECT_FALSE(Read(BmpInfo(0, 10)));
    EXPECT_FALSE(Read(BmpInfo(-5, 10)));
    EXPECT_FALSE(Read(BmpInfo(10, 0)));
    EXPECT_FALSE(Read(BmpInfo(10, INT32_MIN)));
    EXPECT_FALSE(Read(BmpInfo(100000, 100000)));
    EXPECT_FALSE(Read(BmpInfo(10, 10, 200)));
    EXPECT_FALSE(Read(Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0}));

    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr = Be32(13) + Bytes{'I', 'H', 'D', 'R'};
    ExpectSize(png + ihdr + Be32(1920) + Be32(1080) + Bytes{8, 2, 0, 0, 0}, PictureFormat::Png, 1920, 1080);
    EXPECT_FALSE(Read(png + ihdr + Be32(0x7FFFFFFF) + Be32(1) + Bytes{8, 2, 0, 0, 0}));
    EXPECT_FALSE(Read(png + Be32(13) + Bytes{'I', 'D', 'A', 'T'} + Be32(64) + Be32(64)));
}

TEST(PictureHeader, OtherFormatsAndScrapsAreNoPicture) {
    const Bytes tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0, 0, 0};
    const Bytes text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
    for (const Bytes& b : {tiff, text, Bytes{}, Bytes{0xFF, 0xD8}, Bytes{'G', 'I', 'F'}, Bytes{'B', 'M'}})
        EXPECT_FALSE(Read(b));
    EXPECT_FALSE(ReadPictureHeader(nullptr, 0));
}
