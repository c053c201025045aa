#include "platform/temporary_name.h"
#include "wallpaper/pictures/bitmap_file.h"

#include <gtest/gtest.h>

using namespace wallpaper;

namespace {

uint32_t At(const std::array<uint8_t, BitmapHeaderBytes>& h, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | h[at + static_cast<size_t>(i)];
    return v;
}

} // namespace

TEST(BitmapFile, HeaderStatesA24BitBottomUpPictureWithPaddedRows) {
    EXPECT_EQ(BitmapRowBytes(1), 4u);
    EXPECT_EQ(BitmapRowBytes(4), 12u);
    EXPECT_EQ(BitmapRowBytes(5), 16u);
    auto h = BitmapFileHeader(5, 3);
    ASSERT_TRUE(h);
    EXPECT_EQ((*h)[0], 'B');
    EXPECT_EQ((*h)[1], 'M');
    EXPECT_EQ(At(*h, 2, 4), 54u + 16 * 3); // file size
    EXPECT_EQ(At(*h, 10, 4), 54u);         // pixels start
    EXPECT_EQ(At(*h, 14, 4), 40u);
    EXPECT_EQ(At(*h, 18, 4), 5u);
    EXPECT_EQ(At(*h, 22, 4), 3u); // positive: bottom-up
    EXPECT_EQ(At(*h, 26, 2), 1u);
    EXPECT_EQ(At(*h, 28, 2), 24u);
    EXPECT_EQ(At(*h, 30, 4), 0u); // no compression
    EXPECT_EQ(At(*h, 34, 4), 16u * 3);
    // The largest picture the program takes fits; sizes beyond the format's 32 bits do not.
    EXPECT_TRUE(BitmapFileHeader(16384, 8192));
    EXPECT_FALSE(BitmapFileHeader(0, 3));
    EXPECT_FALSE(BitmapFileHeader(5, 0));
    EXPECT_FALSE(BitmapFileHeader(65536, 32768));
    EXPECT_FALSE(BitmapFileHeader(0x80000000u, 1));
}

TEST(BitmapFile, OnlyItsOwnTemporaryNamesCountAsLeftovers) {
    EXPECT_EQ(platform::TemporaryPath(L"C:\\Windows\\Vesmar.bmp", 1234, 7),
              L"C:\\Windows\\Vesmar.bmp.1234-7.tmp");
    EXPECT_TRUE(platform::IsTemporaryName(L"Vesmar.bmp.1234-7.tmp", L"Vesmar.bmp"));
    EXPECT_TRUE(platform::IsTemporaryName(L"VESMAR.BMP.1-1.TMP", L"Vesmar.bmp"));
    for (const wchar_t* name :
         {L"Vesmar.bmp", L"Vesmar.bmp.tmp", L"Vesmar.bmp.-1.tmp", L"Vesmar.bmp.1-.tmp", L"Vesmar.bmp.12.tmp",
          L"Vesmar.bmp.1-2-3.tmp", L"Vesmar.bmp.a-1.tmp", L"Vesmar.bmp.1-1.tmp.txt", L"Other.bmp.1-1.tmp",
          L"Vesmar.bmpx1-1.tmp", L"tav1A2B.tmp"})
        EXPECT_FALSE(platform::IsTemporaryName(name, L"Vesmar.bmp")) << name;
}
