#include "wallpaper/monitor_layout.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

using namespace wallpaper;
using P = settings::WallpaperPosition;
using S = Shape;

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
    EXPECT_EQ(ShapeOf(1000, 1000), S::Wide);                   // a square is wide
}

TEST(MonitorTurn, ShapesMatchLazilyAndPicturesRepeatOnlyWhenAllAreTaken) {
    struct Case {
        std::vector<S> monitors;
        std::string shapes; // of the list's pictures: W wide, U upright, ? unreadable
        std::vector<int> order, pictures;
        int selection;
        std::vector<int> reads; // the headers read, in turn
    } cases[] = {
        {{S::Wide, S::Upright, S::Wide}, "WWUW", {0, 1, 2, 3}, {0, 2, 1}, 2, {0, 1, 2}},
        {{S::Wide, S::Upright}, "WWW", ListOrderAfter(0, 3), {1, 2}, 2, {1, 2, 0}}, // only wide ones
        {{S::Wide, S::Wide, S::Upright}, "WU", {0, 1}, {0, 1, 1}, 1, {0, 1}},       // fewer than monitors
        {{S::Wide, S::Upright}, "?U?W", {0, 1, 2, 3}, {3, 1}, 3, {0, 1, 2, 3}},
        {{S::Wide}, "?U", {0, 1}, {0}, 0, {0, 1}}, // nothing wide: the first free, readable or not
        {{S::Upright, S::Wide}, "WWUU", ListOrderAfter(1, 4), {2, 0}, 0, {2, 3, 0}}, // 0 is furthest
        {{S::Wide, S::Wide}, "WUWW", {3, 1, 0, 2}, {3, 0}, 0, {3, 1, 0}},            // a shuffled order
        {{S::Wide}, "", {}, {}, -1, {}},
    };
    for (const Case& c : cases) {
        std::vector<int> reads;
        Turn turn = ChoosePictures(c.monitors, c.order, [&](int i) -> std::optional<Shape> {
            reads.push_back(i);
            char s = c.shapes[size_t(i)];
            return s == '?' ? std::nullopt : std::optional(s == 'U' ? S::Upright : S::Wide);
        });
        EXPECT_EQ(turn.pictures, c.pictures) << c.shapes;
        EXPECT_EQ(turn.selection, c.selection) << c.shapes;
        EXPECT_EQ(reads, c.reads) << c.shapes;
    }
    EXPECT_EQ(ListOrderAfter(-1, 3), (std::vector<int>{0, 1, 2}));
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

TEST(MonitorArrangement, KeptNewGoneAndTurnedMonitors) {
    const Monitor primary{L"", L"\\\\?\\P", {0, 0, 1920, 1080}, true},
        left{L"", L"", {-1280, 0, 0, 1024}, false}, side{L"", L"\\\\?\\S", {1920, 0, 3840, 1080}, false};
    const std::vector<Monitor> before = {primary, left, side};
    // All three have a picture; the primary's cannot be read, the side one's is wide.
    auto remembered = [](const std::wstring& key) -> std::optional<std::wstring> {
        const bool kept = key == L"\\\\?\\P" || key == L"\\\\?\\S" || key == L"-1280,0,0,1024";
        return kept ? std::optional(key + L".jpg") : std::nullopt;
    };
    auto turned = [](Monitor m) {
        m.rect = {m.rect.left, m.rect.top, m.rect.left + m.rect.Height(), m.rect.top + m.rect.Width()};
        return m;
    };
    struct Case {
        std::vector<Monitor> now;
        bool same;
        std::vector<size_t> keep, need;
        std::vector<std::wstring> keptAside;
    } cases[] = {
        {{side, primary, left}, true, {}, {}, {}}, // listed in another order
        {{primary, left, side, {L"", L"\\\\?\\N", {3840, 0, 5760, 1080}}}, false, {0, 1, 2}, {3}, {}},
        {{primary, side}, false, {0, 1}, {}, {L"-1280,0,0,1024"}},
        {{turned(primary), left, turned(side)}, false, {0, 1}, {2}, {}},
        {{primary, turned(left), side}, false, {0, 2}, {1}, {L"-1280,0,0,1024"}}, // its key is its place
    };
    for (const Case& c : cases) {
        int reads = 0;
        ArrangementChange change =
            CompareArrangement(before, c.now, remembered, [&](const std::wstring& path) {
                ++reads;
                return path == L"\\\\?\\S.jpg" ? std::optional(S::Wide) : std::nullopt;
            });
        EXPECT_EQ(std::tie(change.same, change.keep, change.needPicture, change.keptAside),
                  std::tie(c.same, c.keep, c.need, c.keptAside))
            << c.now.size();
        if (c.same) {
            EXPECT_EQ(reads, 0);
        }
    }
}
