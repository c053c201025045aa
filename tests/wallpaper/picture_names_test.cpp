#include "wallpaper/picture_names.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace wallpaper;

TEST(PictureNames, TheFourPatternsInAnyCase) {
    for (const wchar_t* yes : {L"a.jpg", L"B.JPG", L"c.jpeg", L"d.Bmp", L"e.gif", L"海边.jpg", L"x.y.gif"})
        EXPECT_TRUE(IsPictureName(yes)) << yes;
    for (const wchar_t* no : {L"a.png", L"a.jpg.txt", L"jpg", L".jpg", L"a.jpe", L"a.tiff", L""})
        EXPECT_FALSE(IsPictureName(no)) << no;
}

TEST(PictureNames, OrderIgnoresLetterCase) {
    std::vector<std::wstring> names{L"b.jpg", L"A.jpg", L"a.bmp", L"10.gif", L"2.gif", L"B.bmp"};
    std::sort(names.begin(), names.end(), PictureNameLess);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"10.gif", L"2.gif", L"a.bmp", L"A.jpg", L"B.bmp", L"b.jpg"}));
}
