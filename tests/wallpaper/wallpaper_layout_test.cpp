#include "wallpaper/wallpaper_layout.h"

#include <gtest/gtest.h>
#include <string>

using namespace wallpaper;
using settings::WallpaperPosition;
using P = WallpaperPosition;

TEST(PlanBitmap, WideTallAndSquarePicturesOnWideAndTallScreens) {
    struct Case {
        P position;
        int w, h, screenW, screenH;
        BitmapPlan plan; // left, top, width, height of the part; the bitmap's size
    } cases[] = {
        // 填充: the middle part with the screen's shape, reduced to the screen.
        {P::Fill, 6000, 4000, 1920, 1080, {0, 312, 6000, 3375, 1920, 1080}},
        {P::Fill, 3000, 3000, 1080, 1920, {656, 0, 1688, 3000, 1080, 1920}},
        {P::Fill, 1000, 4000, 1920, 1080, {0, 1718, 1000, 563, 1000, 563}}, // smaller: enlarged by the
                                                                            // desktop
        {P::Fill, 3840, 2160, 1920, 1080, {0, 0, 3840, 2160, 1920, 1080}},
        // 跨区: the same over the whole virtual screen.
        {P::Span, 6000, 4000, 3840, 1080, {0, 1156, 6000, 1688, 3840, 1080}},
        // 适应: all of it, inside the screen.
        {P::Fit, 6000, 4000, 1920, 1080, {0, 0, 6000, 4000, 1620, 1080}},
        {P::Fit, 4000, 1000, 1920, 1080, {0, 0, 4000, 1000, 1920, 480}},
        {P::Fit, 3000, 3000, 1080, 1920, {0, 0, 3000, 3000, 1080, 1080}},
        {P::Fit, 800, 600, 1920, 1080, {0, 0, 800, 600, 800, 600}},
        // 拉伸: each way reduced where the picture is larger.
        {P::Stretch, 6000, 4000, 1080, 1920, {0, 0, 6000, 4000, 1080, 1920}},
        {P::Stretch, 800, 2000, 1920, 1080, {0, 0, 800, 2000, 800, 1080}},
        // 居中 and 平铺, and a screen of no size: the picture as it is.
        {P::Center, 6000, 4000, 1920, 1080, {0, 0, 6000, 4000, 6000, 4000}},
        {P::Tile, 6000, 4000, 1920, 1080, {0, 0, 6000, 4000, 6000, 4000}},
        {P::Fill, 6000, 4000, 0, 0, {0, 0, 6000, 4000, 6000, 4000}},
        // A one-pixel line still keeps a pixel.
        {P::Fill, 1, 10000, 1920, 1080, {0, 4999, 1, 1, 1, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlanBitmap(c.position, c.w, c.h, c.screenW, c.screenH), c.plan)
            << settings::PositionName(c.position).size() << " " << c.w << "x" << c.h << " on " << c.screenW
            << "x" << c.screenH;
}

TEST(StyleOf, EachPositionHasItsDesktopValues) {
    const std::pair<P, std::pair<std::wstring, std::wstring>> expected[] = {
        {P::Fill, {L"10", L"0"}}, {P::Fit, {L"6", L"0"}},    {P::Stretch, {L"2", L"0"}},
        {P::Tile, {L"0", L"1"}},  {P::Center, {L"0", L"0"}}, {P::Span, {L"22", L"0"}},
    };
    for (const auto& [position, values] : expected) {
        DesktopStyle style = StyleOf(position);
        EXPECT_EQ(style.wallpaperStyle, values.first) << static_cast<int>(position);
        EXPECT_EQ(style.tileWallpaper, values.second) << static_cast<int>(position);
    }
}

TEST(ParsePosition, TheSixNamesReadBackAndAnythingElseIsCentre) {
    for (P p : {P::Fill, P::Fit, P::Stretch, P::Tile, P::Center, P::Span})
        EXPECT_EQ(settings::ParsePosition(settings::PositionName(p)), p);
    EXPECT_EQ(settings::PositionName(P::Fill), L"填充");
    for (const wchar_t* other : {L"", L"填充 ", L"Fill", L"10", L"0", L"平铺平铺"})
        EXPECT_EQ(settings::ParsePosition(other), P::Center) << std::wstring(other).size();
}
