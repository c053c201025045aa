#include "wallpaper/pictures/thumbnail_queue.h"

#include <gtest/gtest.h>

using namespace wallpaper;

TEST(ThumbnailQueue, VisibleRowsFirstThenAPageEachWayNearestFirst) {
    auto all = [](int) { return true; };
    auto odd = [](int row) { return row % 2 == 1; };
    struct Case {
        const char* what;
        int count, first, visible;
        std::function<bool(int)> needed;
        std::vector<int> order;
        std::pair<int, int> keep;
    } cases[] = {
        {"top", 10, 0, 3, all, {0, 1, 2, 3, 4, 5}, {0, 6}},
        {"middle", 20, 6, 3, all, {6, 7, 8, 9, 5, 10, 4, 11, 3}, {3, 12}},
        {"bottom", 10, 7, 3, all, {7, 8, 9, 6, 5, 4}, {4, 10}},
        {"bottom, the last page partly empty", 10, 8, 3, all, {8, 9, 7, 6, 5}, {5, 10}},
        {"shorter than a page", 2, 0, 5, all, {0, 1}, {0, 2}},
        {"scrolled, some made already", 20, 6, 3, odd, {7, 9, 5, 11, 3}, {3, 12}},
        {"none needed", 20, 6, 3, [](int) { return false; }, {}, {3, 12}},
        {"part of one row shown", 5, 2, 0, all, {2, 3, 1}, {1, 4}},
        {"first row past the end", 5, 9, 2, all, {4, 3, 2}, {2, 5}},
        {"first row before the start", 5, -3, 2, all, {0, 1, 2, 3}, {0, 4}},
        {"empty list", 0, 0, 3, all, {}, {0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ThumbnailOrder(c.count, c.first, c.visible, c.needed), c.order) << c.what;
        EXPECT_EQ(ThumbnailKeepRange(c.count, c.first, c.visible), c.keep) << c.what;
    }
}
