#include "wallpaper/pictures/wallpaper_layout.h"

#include <gtest/gtest.h>
#include <string>

using namespace wallpaper;
using P = settings::WallpaperPosition;

TEST(PlanBitmap, WideTallAndSquarePicturesOnWideAndTallScreens) {
    struct Case {
        P position;
        int w, h, screenW, screenH;
        BitmapPlan plan; // left, top, width, height of the part; the bitmap's size
    } cases[] = {
        {P::Fill, 6000, 4000, 1920, 1080, {0, 312, 6000, 3375, 1920, 1080}},
        {P::Fill, 3000, 3000, 1080, 1920, {656, 0, 1688, 3000, 1080, 1920}},
        {P::Fill, 1000, 4000, 1920, 1080, {0, 1718, 1000, 563, 1000, 563}}, // the desktop enlarges it
        {P::Fill, 1, 10000, 1920, 1080, {0, 4999, 1, 1, 1, 1}},
        {P::Span, 6000, 4000, 3840, 1080, {0, 1156, 6000, 1688, 3840, 1080}},
        {P::Fit, 6000, 4000, 1920, 1080, {0, 0, 6000, 4000, 1620, 1080}},
        {P::Fit, 4000, 1000, 1920, 1080, {0, 0, 4000, 1000, 1920, 480}},
        {P::Fit, 3000, 3000, 1080, 1920, {0, 0, 3000, 3000, 1080, 1080}},
        {P::Fit, 800, 600, 1920, 1080, {0, 0, 800, 600, 800, 600}},
        {P::Stretch, 800, 2000, 1920, 1080, {0, 0, 800, 2000, 800, 1080}},
        {P::Center, 6000, 4000, 1920, 1080, {2040, 1460, 1920, 1080, 1920, 1080}}, // what a screen shows
        {P::Center, 4000, 500, 1920, 1080, {1040, 0, 1920, 500, 1920, 500}},
        {P::Center, 800, 600, 1920, 1080, {0, 0, 800, 600, 800, 600}},
        {P::Tile, 6000, 4000, 1920, 1080, {0, 0, 6000, 4000, 6000, 4000}},
        {P::Fill, 6000, 4000, 0, 0, {0, 0, 6000, 4000, 6000, 4000}}, // no screen size known
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlanBitmap(c.position, c.w, c.h, c.screenW, c.screenH), c.plan)
            << static_cast<int>(c.position) << " " << c.w << "x" << c.h << " on " << c.screenW << "x"
            << c.screenH;
}

TEST(StyleOf, EachPositionHasItsDesktopValues) {
    const std::wstring expected[][2] = {{L"10", L"0"}, {L"6", L"0"}, {L"2", L"0"},
                                        {L"0", L"1"},  {L"0", L"0"}, {L"22", L"0"}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(StyleOf(P(i)).wallpaperStyle, expected[i][0]) << i;
        EXPECT_EQ(StyleOf(P(i)).tileWallpaper, expected[i][1]) << i;
    }
}

TEST(ParsePosition, TheSixNamesReadBackAndAnythingElseIsCentre) {
    for (P p : {P::Fill, P::Fit, P::Stretch, P::Tile, P::Center, P::Span})
        EXPECT_EQ(settings::ParsePosition(settings::PositionName(p)), p);
    for (const wchar_t* other : {L"", L"填充 ", L"Fill", L"10", L"0", L"平铺平铺"})
        EXPECT_EQ(settings::ParsePosition(other), P::Center) << std::wstring(other).size();
}

TEST(DecodeDivisor, TheSmallestScaledDecodeThatStillCoversWhatIsShown) {
    using U = DecodeTarget::Use;
    struct Case {
        DecodeTarget target;
        int w, h;
        PixelSize need;
        int divisor;
    } cases[] = {
        {{U::Preview, 400, 300}, 6000, 4000, {400, 267}, 8}, // 750 × 500 still covers the preview
        {{U::Preview, 400, 300}, 3000, 2000, {400, 267}, 4}, // 1/8 would be 375 wide
        {{U::Preview, 0, 0}, 6000, 4000, {6000, 4000}, 1},   // no pane yet: whole
        {{U::Wallpaper, 1920, 1080, P::Fill}, 6000, 4000, {1920, 1280}, 2},
        {{U::Wallpaper, 1920, 1080, P::Fit}, 6000, 4000, {1620, 1080}, 2},
        {{U::Wallpaper, 1920, 1080, P::Stretch}, 8000, 8000, {1920, 1080}, 4},
        {{U::Wallpaper, 3840, 1080, P::Span}, 6000, 4000, {3840, 2560}, 1},
        {{U::Wallpaper, 1920, 1080, P::Center}, 6000, 4000, {6000, 4000}, 1}, // a crop needs every pixel
        {{U::Preview, 800, 600}, 6399, 4799, {800, 600}, 8}, // 1/8 rounds up to 800 × 600: covers
        {{U::Preview, 800, 600}, 6392, 4792, {800, 600}, 4}, // 1/8 is 799 wide: one short
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NeededSize(c.target, c.w, c.h), c.need) << c.w << "x" << c.h << " " << int(c.target.use);
        EXPECT_EQ(DecodeDivisor(c.w, c.h, c.need), c.divisor)
            << c.w << "x" << c.h << " " << int(c.target.use);
    }
}
