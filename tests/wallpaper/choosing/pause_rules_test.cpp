#include "wallpaper/choosing/pause_rules.h"

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
