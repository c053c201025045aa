#include "ui/layout.h"

#include <gtest/gtest.h>

using namespace ui::layout;

TEST(WindowSize, SnapsBackToTheMinimumInEachDirection) {
    EXPECT_EQ(ClampToMinimum({3000, 1500}), (Size{3500, 2000}));
    EXPECT_EQ(ClampToMinimum({3000, 5000}), (Size{3500, 5000}));
    EXPECT_EQ(ClampToMinimum({9000, 1999}), (Size{9000, 2000}));
    EXPECT_EQ(ClampToMinimum({3500, 2000}), (Size{3500, 2000}));
}

TEST(TabLayout, TabControlAndTabsFollowTheWindow) {
    EXPECT_EQ(TabControl({10000, 6000}), (Rect{10, 0, 9840, 5600}));

    BrowserTab b = LayoutBrowserTab(9840, 5600, 420);
    EXPECT_EQ(b.Picture2, (Rect{330, 30, 9460, 420}));
    EXPECT_EQ(b.ListView1, (Rect{330, 460, 9460, 5600 - 460 - 30}));

    PictureTab p = LayoutPictureTab(9840, 5600, Rect{330, 1230, 2590, 100});
    EXPECT_EQ(p.File1, (Rect{330, 1230, 2590, 5600 - 1230 - 50}));
    EXPECT_EQ(p.P_back, (Rect{330 + 2590 + 10, 30, 9840 - 2930 - 50, 5600 - 30 - 50}));

    MonitorTab m = LayoutMonitorTab(9840, 5600, 480);
    EXPECT_EQ(m.RichTextBox1, (Rect{330, 520, 9460, 5600 - 520 - 30}));
}

TEST(TabLayout, PageFrameMapsTheInsetsOntoTheMargin) {
    PageFrame f{90};
    Size frame = f.FrameSize({6000, 3000});
    BrowserTab b = LayoutBrowserTab(frame.width, frame.height, 420);
    Rect list = f.ToPage(b.ListView1);
    // The controls keep the same margin on every side of the page.
    EXPECT_EQ(list.left, 90);
    EXPECT_EQ(list.left + list.width, 6000 - 90);
    EXPECT_EQ(list.top + list.height, 3000 - 90);
    EXPECT_EQ(f.ToPage(b.Picture2).top, 90);
}
