// Decoding pictures with WIC, the preview's reduced copy, and writing the wallpaper bitmap.
#include "wallpaper/picture.h"

#include "settings/registry.h"
#include "tests/support/temp_folder.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/wallpaper_setter.h"

#include <gtest/gtest.h>

using wallpaper::Picture;

namespace {

class PictureTest : public ::testing::Test {
  protected:
    void SetUp() override { test::UseCom(); }
    std::wstring File(const std::wstring& name) const { return folder.path() + L"\\" + name; }
    // The first pixel of the picture as 0xRRGGBB.
    static long FirstPixel(const Picture& p) {
        WICRect one{0, 0, 1, 1};
        BYTE bgr[4] = {};
        p.Bitmap()->CopyPixels(&one, 4, 4, bgr);
        return bgr[0] | bgr[1] << 8 | bgr[2] << 16;
    }
    test::TempFolder folder;
};

TEST_F(PictureTest, JpegGifAndBmpDecodeAtTheirOwnSize) {
    ASSERT_TRUE(test::WritePicture(File(L"a.jpg"), GUID_ContainerFormatJpeg, 301, 203));
    ASSERT_TRUE(test::WritePicture(File(L"b.gif"), GUID_ContainerFormatGif, 120, 45, 0x3366CC));
    ASSERT_TRUE(test::WritePicture(File(L"c.bmp"), GUID_ContainerFormatBmp, 7, 400, 0x102030));
    auto jpg = Picture::Load(File(L"a.jpg"));
    auto gif = Picture::Load(File(L"b.gif"));
    auto bmp = Picture::Load(File(L"c.bmp"));
    ASSERT_TRUE(jpg && gif && bmp);
    EXPECT_EQ(jpg->Width(), 301u);
    EXPECT_EQ(jpg->Height(), 203u);
    EXPECT_EQ(gif->Width(), 120u);
    EXPECT_EQ(gif->Height(), 45u);
    EXPECT_EQ(bmp->Width(), 7u);
    EXPECT_EQ(bmp->Height(), 400u);
    // Lossless formats keep their colours, in the right channel order; the GIF through its palette.
    EXPECT_EQ(FirstPixel(*gif), 0x3366CC);
    EXPECT_EQ(FirstPixel(*bmp), 0x102030);
}

TEST_F(PictureTest, WhatIsNoPictureGivesNothing) {
    ASSERT_TRUE(test::WritePicture(File(L"whole.jpg"), GUID_ContainerFormatJpeg, 200, 100));
    std::string jpeg = test::ReadBytes(File(L"whole.jpg"));
    test::TempFolder::Write(File(L"truncated.jpg"), jpeg.substr(0, jpeg.size() / 3));
    test::TempFolder::Write(File(L"empty.jpg"), "");
    test::TempFolder::Write(File(L"text.gif"), "GIF? no, just some text that is not a picture");
    std::string noise(5000, '\0');
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>(i * 7919 % 251);
    test::TempFolder::Write(File(L"noise.bmp"), "BM" + noise);
    // A header that claims 100000 × 100000 pixels (30 GB) and no pixel data.
    std::string huge = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0};
    huge += std::string("\xA0\x86\x01\x00\xA0\x86\x01\x00\x01\x00\x18\x00", 12);
    huge.resize(200, '\0');
    test::TempFolder::Write(File(L"huge.bmp"), huge);
    for (const wchar_t* name :
         {L"truncated.jpg", L"empty.jpg", L"text.gif", L"noise.bmp", L"huge.bmp", L"missing.jpg"})
        EXPECT_FALSE(Picture::Load(File(name))) << name;
}

TEST_F(PictureTest, PicturesBeyondTheSizeLimitAreRefusedBeforeDecoding) {
    // At the limit on one side: decoded.
    ASSERT_TRUE(test::WritePicture(File(L"wide.jpg"), GUID_ContainerFormatJpeg, 16384, 8));
    auto wide = Picture::Load(File(L"wide.jpg"));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->Width(), 16384u);
    // One pixel more in its frame header, which the decoder would take and fill up: refused.
    std::string jpeg = test::ReadBytes(File(L"wide.jpg"));
    size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    jpeg[sof + 7] = 0x40;
    jpeg[sof + 8] = 0x01;
    test::TempFolder::Write(File(L"wider.jpg"), jpeg);
    EXPECT_FALSE(Picture::Load(File(L"wider.jpg")));
    // A few hundred bytes that claim 8192 × 16384 pixels.
    ASSERT_TRUE(test::WritePicture(File(L"small.jpg"), GUID_ContainerFormatJpeg, 64, 48));
    jpeg = test::ReadBytes(File(L"small.jpg"));
    sof = jpeg.find("\xFF\xC0");
    jpeg.replace(sof + 5, 4, std::string("\x40\x00\x20\x00", 4));
    test::TempFolder::Write(File(L"fragment.jpg"), jpeg);
    EXPECT_FALSE(Picture::Load(File(L"fragment.jpg")));
    // A whole bitmap 20000 pixels wide.
    ASSERT_TRUE(test::WritePicture(File(L"long.bmp"), GUID_ContainerFormatBmp, 20000, 1));
    EXPECT_FALSE(Picture::Load(File(L"long.bmp")));
}

TEST_F(PictureTest, ThePreviewCopyIsReducedSmoothly) {
    // Vertical stripes, one pixel black, one white: reduced four times they are grey, not stripes.
    std::wstring file = File(L"stripes.bmp");
    {
        std::string bmp = {'B', 'M'};
        bmp.resize(54, '\0');
        auto put = [&](size_t at, uint32_t v, int n) {
            for (int i = 0; i < n; ++i)
                bmp[at + i] = static_cast<char>(v >> (8 * i));
        };
        put(2, 54 + 64 * 3 * 16, 4);
        put(10, 54, 4);
        put(14, 40, 4);
        put(18, 64, 4);
        put(22, 16, 4);
        put(26, 1, 2);
        put(28, 24, 2);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 64; ++x)
                bmp += std::string(3, x % 2 ? '\xFF' : '\0');
        test::TempFolder::Write(file, bmp);
    }
    auto picture = Picture::Load(file);
    ASSERT_TRUE(picture);
    platform::UniqueGdi preview = wallpaper::PreviewBitmap(*picture, 16, 4);
    ASSERT_TRUE(preview);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(preview.get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, 16);
    EXPECT_EQ(dib.dsBm.bmHeight, 4);
    auto* px = static_cast<const BYTE*>(dib.dsBm.bmBits);
    for (int i = 0; i < 16 * 4; ++i)
        for (int c = 0; c < 3; ++c)
            ASSERT_NEAR(px[i * 4 + c], 128, 1) << i;
}

TEST_F(PictureTest, TheBitmapIsWrittenAtThePicturesOwnSizeIn24Bits) {
    ASSERT_TRUE(test::WritePicture(File(L"a.jpg"), GUID_ContainerFormatJpeg, 640, 480));
    ASSERT_TRUE(test::WritePicture(File(L"b.gif"), GUID_ContainerFormatGif, 33, 17));
    ASSERT_TRUE(test::WritePicture(File(L"c.bmp"), GUID_ContainerFormatBmp, 50, 70, 0xABCDEF));
    std::wstring out = File(L"Vesmar.bmp");
    struct Case {
        const wchar_t* source;
        int w, h;
    };
    // The same file each time, replaced by the next picture.
    for (Case c : {Case{L"a.jpg", 640, 480}, Case{L"b.gif", 33, 17}, Case{L"c.bmp", 50, 70}}) {
        auto picture = Picture::Load(File(c.source));
        ASSERT_TRUE(picture) << c.source;
        EXPECT_EQ(wallpaper::SaveAsBitmap(*picture, out), L"") << c.source;
        test::BitmapHeader h = test::ReadBitmapHeader(out);
        EXPECT_EQ(h.width, c.w) << c.source;
        EXPECT_EQ(h.height, c.h) << c.source;
        EXPECT_EQ(h.bitCount, 24) << c.source;
    }
    // The BMP source was written again, not referred to, and it reads back as it was.
    auto again = Picture::Load(out);
    ASSERT_TRUE(again);
    EXPECT_EQ(FirstPixel(*again), 0xABCDEF);
    EXPECT_EQ(test::FilesIn(folder.path()),
              (std::vector<std::wstring>{L"Vesmar.bmp", L"a.jpg", L"b.gif", L"c.bmp"}));
}

TEST_F(PictureTest, AFailedWriteLeavesTheOldBitmapWholeAndNoTemporaryFile) {
    ASSERT_TRUE(test::WritePicture(File(L"old.bmp"), GUID_ContainerFormatBmp, 20, 10));
    ASSERT_TRUE(test::WritePicture(File(L"new.bmp"), GUID_ContainerFormatBmp, 40, 30));
    std::wstring out = File(L"Vesmar.bmp");
    ASSERT_EQ(wallpaper::SaveAsBitmap(*Picture::Load(File(L"old.bmp")), out), L"");
    std::string before = test::ReadBytes(out);
    {
        // Held open without leave to replace it, as another program might.
        platform::UniqueHandle held(
            CreateFileW(out.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        std::wstring error = wallpaper::SaveAsBitmap(*Picture::Load(File(L"new.bmp")), out);
        EXPECT_NE(error.find(L"无法保存墙纸图片"), std::wstring::npos);
    }
    EXPECT_EQ(test::ReadBytes(out), before);
    EXPECT_EQ(test::FilesIn(folder.path()),
              (std::vector<std::wstring>{L"Vesmar.bmp", L"new.bmp", L"old.bmp"}));
    // A folder that does not exist.
    std::wstring error = wallpaper::SaveAsBitmap(*Picture::Load(File(L"new.bmp")), File(L"没有\\Vesmar.bmp"));
    EXPECT_NE(error.find(File(L"没有\\Vesmar.bmp")), std::wstring::npos);
}

class WallpaperTest : public PictureTest {
  protected:
    static std::wstring Desktop(const wchar_t* name) {
        return settings::GetRegistryString(HKEY_CURRENT_USER, wallpaper::DesktopKey, name, L"<none>");
    }
    static std::wstring SystemWallpaper() {
        wchar_t path[MAX_PATH] = L"";
        SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
        return path;
    }
};

TEST_F(WallpaperTest, TheDesktopPointsAtTheBitmapCentredAndTheSystemLoadsIt) {
    ASSERT_TRUE(test::WritePicture(File(L"sea.jpg"), GUID_ContainerFormatJpeg, 800, 600));
    ASSERT_TRUE(test::WritePicture(File(L"sky.bmp"), GUID_ContainerFormatBmp, 300, 200));
    settings::SetRegistryString(HKEY_CURRENT_USER, wallpaper::DesktopKey, L"TileWallpaper", L"1");
    settings::SetRegistryString(HKEY_CURRENT_USER, wallpaper::DesktopKey, L"WallpaperStyle", L"2");
    std::wstring out = File(L"Vesmar.bmp");
    EXPECT_EQ(wallpaper::SetWallpaper(*Picture::Load(File(L"sea.jpg")), out), L"");
    EXPECT_EQ(Desktop(L"TileWallpaper"), L"0");
    EXPECT_EQ(Desktop(L"WallpaperStyle"), L"0");
    EXPECT_EQ(Desktop(L"Wallpaper"), out);
    EXPECT_EQ(SystemWallpaper(), out);
    EXPECT_EQ(test::ReadBitmapHeader(out).width, 800);
    // The next picture replaces the same file; the settings keep pointing at it.
    EXPECT_EQ(wallpaper::SetWallpaper(*Picture::Load(File(L"sky.bmp")), out), L"");
    EXPECT_EQ(Desktop(L"Wallpaper"), out);
    EXPECT_EQ(test::ReadBitmapHeader(out).width, 300);
    EXPECT_EQ(test::ReadBitmapHeader(out).height, 200);
}

TEST_F(WallpaperTest, WhenTheBitmapCannotBeWrittenNothingElseChanges) {
    ASSERT_TRUE(test::WritePicture(File(L"sea.jpg"), GUID_ContainerFormatJpeg, 80, 60));
    std::wstring before = File(L"before.bmp");
    ASSERT_EQ(wallpaper::SetWallpaper(*Picture::Load(File(L"sea.jpg")), before), L"");
    settings::SetRegistryString(HKEY_CURRENT_USER, wallpaper::DesktopKey, L"TileWallpaper", L"1");
    // A file stands where the bitmap's folder would be made.
    test::TempFolder::Write(File(L"not a folder"), "");
    std::wstring error =
        wallpaper::SetWallpaper(*Picture::Load(File(L"sea.jpg")), File(L"not a folder\\V.bmp"));
    EXPECT_NE(error, L"");
    EXPECT_EQ(Desktop(L"TileWallpaper"), L"1");
    EXPECT_EQ(Desktop(L"Wallpaper"), before);
    EXPECT_EQ(SystemWallpaper(), before);
}

TEST_F(WallpaperTest, CentreCropsWhatNoScreenShowsAndTileKeepsTheWholePicture) {
    auto pixel = [](const Picture& p, int x, int y) {
        WICRect one{x, y, 1, 1};
        BYTE bgr[4] = {};
        p.Bitmap()->CopyPixels(&one, 4, 4, bgr);
        return bgr[0] | bgr[1] << 8 | bgr[2] << 16;
    };
    using P = settings::WallpaperPosition;
    struct Case {
        int w, h;
        P position;
        int left, top, outW, outH;
    } cases[] = {{700, 500, P::Center, 150, 100, 400, 300},
                 {700, 200, P::Center, 150, 0, 400, 200},
                 {301, 151, P::Center, 0, 0, 301, 151},
                 {700, 500, P::Tile, 0, 0, 700, 500}};
    for (const Case& c : cases) {
        ASSERT_TRUE(test::WritePicture(File(L"in.bmp"), GUID_ContainerFormatBmp, c.w, c.h));
        auto in = Picture::Load(File(L"in.bmp"));
        ASSERT_EQ(wallpaper::SetWallpaper(*in, File(L"out.bmp"), c.position, {400, 300}), L"");
        auto out = Picture::Load(File(L"out.bmp"));
        ASSERT_TRUE(out);
        EXPECT_EQ(std::pair(out->Width(), out->Height()), std::pair(UINT(c.outW), UINT(c.outH))) << c.w;
        for (auto [x, y] : {std::pair{0, 0}, {c.outW - 1, c.outH / 2}, {c.outW / 3, c.outH - 1}})
            EXPECT_EQ(pixel(*out, x, y), pixel(*in, c.left + x, c.top + y)) << c.w << " at " << x << "," << y;
    }
    // Wine's JPEG decoder cannot scale while it decodes: a picture for a small preview comes whole.
    ASSERT_TRUE(test::WritePicture(File(L"big.jpg"), GUID_ContainerFormatJpeg, 1600, 1200));
    auto big = Picture::Load(File(L"big.jpg"), {wallpaper::DecodeTarget::Use::Preview, 100, 75});
    ASSERT_TRUE(big);
    EXPECT_EQ(std::pair(big->Width(), big->FullWidth()), std::pair(1600u, 1600u));
}

} // namespace
