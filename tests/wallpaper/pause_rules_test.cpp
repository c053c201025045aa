#include "wallpaper/pause_rules.h"
#include "wallpaper/picture_order.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace wallpaper;

TEST(PauseRules, TheFirstConditionTheUserTickedPauses) {
    const PauseChoices defaults, all{true, true, true}, none{false, false, false};
    struct Case {
        PauseChoices choices;
        PauseConditions now;
        PauseReason expected;
    } cases[] = {
        {defaults, {}, PauseReason::None},
        {defaults, {true, false, false}, PauseReason::Locked},
        {defaults, {false, true, false}, PauseReason::FullScreen},
        {defaults, {false, false, true}, PauseReason::None}, // battery is not ticked by default
        {all, {false, false, true}, PauseReason::Battery},
        {all, {true, true, true}, PauseReason::Locked},
        {all, {false, true, true}, PauseReason::FullScreen},
        {none, {true, true, true}, PauseReason::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PauseFor(c.choices, c.now), c.expected);
        EXPECT_EQ(PauseTip(c.expected).empty(), c.expected == PauseReason::None);
    }
    EXPECT_EQ(PauseTip(PauseReason::FullScreen), L"自动更换已暂停：全屏程序");
}

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
