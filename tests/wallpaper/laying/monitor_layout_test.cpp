#include "wallpaper/laying/monitor_layout.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

using namespace wallpaper;
using P = settings::WallpaperPosition;

TEST(Monitors, OrderLabelsKeysAndVirtualScreen) {
    // Listed as Windows might; one left of the primary, one below it, an upright one on the right.
    std::vector<Monitor> monitors = {
        {L"\\\\.\\DISPLAY", L"", {1920, -400, 3000, 1520}, false},
        {L"\\\\.\\DISPLAY10", L"", {0, 1080, 1920, 2160}, false},
        {L"\\\\.\\DISPLAY1", L"\\\\?\\DISPLAY#A", {0, 0, 1920, 1080}, true},
        {L"\\\\.\\DISPLAY2", L"", {-1280, 200, 0, 1224}, false},
    };
    SortMonitors(monitors);
    const std::wstring labels[] = {L"显示器 2（1280×1024）", L"显示器 1（1920×1080，主显示器）",
                                   L"显示器 10（1920×1080）", L"显示器 4（1080×1920）"};
    const std::wstring keys[] = {L"-1280,200,0,1224", L"\\\\?\\DISPLAY#A", L"0,1080,1920,2160",
                                 L"1920,-400,3000,1520"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(MonitorLabel(monitors[size_t(i)], i + 1), labels[i]) << i;
        EXPECT_EQ(MonitorKey(monitors[size_t(i)]), keys[i]) << i;
    }
    EXPECT_EQ(VirtualScreen(monitors), (MonitorRect{-1280, -400, 3000, 2160}));
    EXPECT_EQ(MonitorNumber(L"\\\\.\\DISPLAY12345678901"), 0); // too long to be a display's number
}

TEST(MonitorCompose, EachPositionOnTwoMonitorsOfDifferentSizes) {
    // A 6 × 6 monitor left of and one row below the top of a 4 × 8 primary: a 10 × 8 canvas whose
    // corners on the left are the gap. Pictures in quadrants A B / C D; ? is a blend at a border.
    auto colour = [](char c) -> std::array<uint8_t, 3> {
        if (c == '.') return {0x11, 0x22, 0x33}; // the background, 0x00112233
        const uint8_t v = uint8_t(40 * (c - 'A') + 10);
        return {v, uint8_t(v + 10), uint8_t(v + 20)};
    };
    const MonitorRect left{-6, 1, 0, 7}, primary{0, 0, 4, 8};
    const MonitorRect screen = VirtualScreen({{L"", L"", left}, {L"", L"", primary}});
    struct Case {
        P position;
        int w, h;
        const char* grid; // rows of the canvas, top first
    } cases[] = {
        {P::Fill, 8, 4,
         "......A??B AA??BBA??B AA??BBA??B ?????????? ?????????? CC??DDC??D CC??DDC??D ......C??D"},
        {P::Fill, 24, 12,
         "......AABB AAABBBAABB AAABBBAABB AAABBBAABB CCCDDDCCDD CCCDDDCCDD CCCDDDCCDD ......CCDD"},
        {P::Fit, 8, 4,
         ".......... .......... AAABBB.... AAABBBAABB CCCDDDCCDD .......... .......... .........."},
        {P::Fit, 4, 8,
         "......AABB .AAB..AABB .AAB..AABB .AAB..AABB .CCD..CCDD .CCD..CCDD .CCD..CCDD ......CCDD"},
        {P::Stretch, 8, 4,
         "......AABB AAABBBAABB AAABBBAABB ?????????? ?????????? CCCDDDCCDD CCCDDDCCDD ......CCDD"},
        {P::Center, 8, 4,
         ".......... .......... AAABBBAABB AAABBBAABB CCCDDDCCDD CCCDDDCCDD .......... .........."},
        {P::Tile, 8, 4,
         "......AAAA AAAABBAAAA AAAABBCCCC CCCCDDCCCC CCCCDDAAAA AAAABBAAAA AAAABBCCCC ......CCCC"},
    };
    for (const Case& c : cases) {
        const size_t srcStride = size_t(c.w) * 3 + 5, dstStride = 10 * 3 + 7; // padded rows
        std::vector<uint8_t> src(srcStride * size_t(c.h)), canvas(dstStride * 8);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const char q = "ABCD"[(y >= c.h / 2) * 2 + (x >= c.w / 2)];
                std::copy_n(colour(q).data(), 3, &src[size_t(y) * srcStride + size_t(x) * 3]);
            }
        FillBackground(canvas.data(), 10, 8, dstStride, 0x00112233);
        for (MonitorRect r : {left, primary})
            ComposeMonitor(src.data(), c.w, c.h, srcStride, c.position, r, screen, canvas.data(), dstStride,
                           0x00112233);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const uint8_t* px = &canvas[size_t(y) * dstStride + size_t(x) * 3];
                if (c.grid[y * 11 + x] != '?') {
                    EXPECT_EQ((std::array<uint8_t, 3>{px[0], px[1], px[2]}), colour(c.grid[y * 11 + x]))
                        << int(c.position) << " " << c.w << " at " << x << "," << y;
                }
            }
    }
}

