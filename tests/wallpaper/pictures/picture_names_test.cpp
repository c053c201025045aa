#include "wallpaper/pictures/picture_names.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace wallpaper;

TEST(PictureNames, TheFixedExtensionsInAnyCase) {
    for (const wchar_t* yes :
         {L"a.jpg", L"B.JPG", L"c.jpeg", L"d.Bmp", L"e.gif", L"海边.jpg", L"x.y.gif", L"p.PNG", L"q.tif",
          L"r.TIFF", L"s.jpe", L"t.jfif", L"u.dib", L"v.jxr", L"w.wdp"})
        EXPECT_TRUE(IsPictureName(yes)) << yes;
    for (const wchar_t* no : {L"a.jpg.txt", L"jpg", L".jpg", L"a.ico", L"a.webp", L"a.", L"a.png ", L""})
        EXPECT_FALSE(IsPictureName(no)) << no;
}

TEST(PictureNames, TheSetAddsWhatTheDecodersListLessIconsTexturesAndRaw) {
    EXPECT_EQ(SplitExtensions(L".jpg;.jpeg;.jfif"), (std::vector<std::wstring>{L".jpg", L".jpeg", L".jfif"}));
    EXPECT_EQ(SplitExtensions(L".HEIC, .heif,.AVIF ,, webp;"),
              (std::vector<std::wstring>{L".heic", L".heif", L".avif", L".webp"}));
    EXPECT_EQ(SplitExtensions(L".*;.;.a b;.x.y;"), std::vector<std::wstring>{});
    // As Wine and Windows list them, with both separators.
    std::vector<std::wstring> set = PictureExtensionSet(
        {L".bmp,.dib,.rle", L".dds", L".jpg;.jpeg;.jfif", L".ico", L".tga;.tpic", L".webp",
         L".ico,.icon,.cur", L".heic,.heif,.hif,.avif", L".ARW,.CR2,.dng,.NEF,.raw"});
    for (const wchar_t* in :
         {L".rle", L".tga", L".tpic", L".webp", L".heic", L".avif", L".png", L".jxr", L".jpe"})
        EXPECT_TRUE(std::binary_search(set.begin(), set.end(), in)) << in;
    for (const wchar_t* out :
         {L".ico", L".icon", L".cur", L".dds", L".arw", L".cr2", L".dng", L".nef", L".raw"})
        EXPECT_FALSE(std::binary_search(set.begin(), set.end(), out)) << out;
    EXPECT_TRUE(std::is_sorted(set.begin(), set.end()));
    EXPECT_EQ(std::adjacent_find(set.begin(), set.end()), set.end());

    // Names follow the set in use; the fixed set comes back for the other tests.
    UsePictureExtensions(set);
    EXPECT_TRUE(IsPictureName(L"猫.WebP"));
    EXPECT_TRUE(IsPictureName(L"a.HEIC"));
    EXPECT_FALSE(IsPictureName(L"a.cur"));
    UsePictureExtensions(FixedPictureExtensions);
    EXPECT_FALSE(IsPictureName(L"猫.webp"));
}

TEST(PictureNames, OrderIgnoresLetterCase) {
    std::vector<std::wstring> names{L"b.jpg", L"a.jpg", L"A.jpg", L"a.bmp", L"10.gif", L"2.gif", L"B.bmp"};
    std::vector<std::wstring> sorted = names;
    std::sort(names.begin(), names.end(), PictureNameLess);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"10.gif", L"2.gif", L"a.bmp", L"A.jpg", L"a.jpg", L"B.bmp",
                                                L"b.jpg"}));
    // The list's own sort gives the same order.
    SortPictureNames(sorted);
    EXPECT_EQ(sorted, names);
}
