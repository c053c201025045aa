// The one place that chooses the pictures the program sets by itself.
#include "wallpaper/choosing/picture_order.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

using namespace wallpaper;
using S = Shape;

TEST(PictureOrder, ListOrderOrShuffledRoundsForOneOrEachMonitor) {
    const std::vector<std::wstring> names = {L"a", L"b", L"c", L"d"};
    PictureOrder order(7);
    // In the list's order the selection steps on and wraps; no selection starts at the first.
    EXPECT_EQ(order.Next(names, -1, false).pictures, std::vector<int>{0});
    EXPECT_EQ(order.Next(names, 3, false).selection, 0);
    // One picture of each monitor's shape: b is the only upright one.
    auto shape = [](int i) { return std::optional(i == 1 ? Shape::Upright : Shape::Wide); };
    Turn two = order.Next(names, 2, false, {Shape::Wide, Shape::Upright}, shape);
    EXPECT_EQ(two.pictures, (std::vector<int>{3, 1}));
    EXPECT_EQ(two.selection, 1) << "the furthest along from where the turn started";
    // Shuffled: each picture once a round, whatever the selection says.
    for (int round = 0; round < 3; ++round) {
        std::vector<int> seen;
        for (int i = 0; i < 4; ++i)
            seen.push_back(order.Next(names, 0, true).pictures.at(0));
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3}));
    }
    EXPECT_TRUE(order.Next({}, -1, true).pictures.empty());
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
    EXPECT_EQ(ShapeOf(1000, 1000), S::Wide); // a square is wide
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

TEST(PictureOrder, TheRulesKeepOutNeverAgainFollowThePhaseAndPutFavouritesFirst) {
    const std::vector<std::wstring> names = {L"a.jpg", L"白天\\d1.jpg", L"夜晚\\n1.jpg", L"b.jpg", L"白天\\d2.jpg"};
    const std::optional<Phase> none, day = Phase::Day, night = Phase::Night;
    struct Case {
        std::optional<Phase> phase;
        std::string marks; // F favourite, N never, . neither
        bool favouritesOnly;
        int selection;
        std::vector<S> monitors;
        std::vector<int> pictures;
    } cases[] = {
        {none, ".....", false, -1, {}, {0}},
        {day, ".....", false, 0, {}, {1}},   // the day's folder and what lies outside both
        {night, ".....", false, 2, {}, {3}},
        {night, "..N..", false, 2, {}, {3}}, // nothing of the night may be chosen: every picture
        {night, "..N..", false, 3, {}, {4}},
        {none, "NN...", false, -1, {}, {2}}, // never again
        {none, "...F.", true, -1, {}, {3}},
        {none, "...F.", true, 3, {}, {3}},   // the only favourite comes again
        {none, "...F.", false, -1, {}, {0}}, // favourites only when asked
        {day, "..F..", true, -1, {}, {0}},   // no favourite of the day
        {none, "F....", true, -1, {S::Wide, S::Upright}, {0, 3}}, // no upright favourite: b.jpg is
        {none, "NNNNN", false, -1, {S::Wide}, {}},
    };
    for (const Case& c : cases) {
        PictureOrder order(3);
        ChoiceRules rules{c.phase, [&](int i) {
                              char m = c.marks[size_t(i)];
                              return m == 'F' ? Mark::Favourite : m == 'N' ? Mark::Never : Mark::None;
                          },
                          c.favouritesOnly};
        auto shape = [](int i) { return std::optional(i == 3 ? S::Upright : S::Wide); };
        EXPECT_EQ(order.Next(names, c.selection, false, c.monitors, shape, rules).pictures, c.pictures)
            << c.marks << " " << c.selection;
    }
    // Shuffled favourites go round among themselves.
    PictureOrder order(5);
    ChoiceRules favourites{none, [](int i) { return i == 1 || i == 3 ? Mark::Favourite : Mark::None; }, true};
    std::vector<int> seen;
    for (int i = 0; i < 4; ++i)
        seen.push_back(order.Next(names, -1, true, {}, {}, favourites).pictures.at(0));
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<int>{1, 1, 3, 3}));
}
