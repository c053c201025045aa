#include "wallpaper/choosing/tick_counter.h"

#include <gtest/gtest.h>

using namespace wallpaper;

namespace {
// The ticks (1-based) on which the counter fires during `ticks` ticks.
std::vector<int> Firing(TickCounter& c, int32_t interval, int ticks) {
    std::vector<int> fired;
    for (int t = 1; t <= ticks; ++t)
        if (c.Tick(interval)) fired.push_back(t);
    return fired;
}
} // namespace

TEST(TickCounter, FiresEveryIntervalAndKeepsItsCountAcrossAPause) {
    TickCounter c;
    EXPECT_EQ(Firing(c, 5, 12), (std::vector<int>{5, 10}));
    EXPECT_EQ(c.Count(), 2);

    TickCounter paused;
    Firing(paused, 5, 3); // stopped at 3; the count stays
    EXPECT_EQ(paused.Count(), 3);
    EXPECT_EQ(Firing(paused, 5, 5), (std::vector<int>{2}));
}

TEST(TickCounter, ANewIntervalAppliesFromTheNextTick) {
    TickCounter c;
    Firing(c, 10, 6);
    EXPECT_TRUE(c.Tick(3)); // 7 >= 3: due at once
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(Firing(c, 1, 3), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Firing(c, 0, 2), (std::vector<int>{1, 2})); // a stored 0 never stalls the counter
}

TEST(NextIndex, StepsAndWraps) {
    EXPECT_EQ(NextIndex(0, 3), 1);
    EXPECT_EQ(NextIndex(1, 3), 2);
    EXPECT_EQ(NextIndex(2, 3), 0);
    EXPECT_EQ(NextIndex(-1, 3), 0);
    EXPECT_EQ(NextIndex(0, 1), 0); // a single picture is chosen again
    EXPECT_EQ(NextIndex(-1, 1), 0);
    EXPECT_EQ(NextIndex(7, 3), 0); // a selection beyond a list that shrank
    EXPECT_FALSE(NextIndex(-1, 0));
    EXPECT_FALSE(NextIndex(0, 0));
}
