#include "web/form_wb_rules.h"

#include <gtest/gtest.h>

using namespace web;
using Action = PageFallback::Action;

TEST(FormWBLayout, FrameOnTopAndTheBrowserFillsTheRest) {
    auto p = LayoutFormWB({12000, 9000}, 1700, false);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Frame1, (Rect{10, 10, 11850, 1700}));
    EXPECT_EQ(p->WebBrowser1, (Rect{10, 1730, 11850, 9000 - 1730 - 400}));
}

TEST(FormWBLayout, MinimisedLeavesThePlacesAndTooSmallGivesZero) {
    EXPECT_FALSE(LayoutFormWB({12000, 9000}, 1700, true));
    // Just tall enough, one twip too low, far too low and far too narrow.
    EXPECT_EQ(LayoutFormWB({12000, 2130}, 1700, false)->WebBrowser1.height, 0);
    EXPECT_EQ(LayoutFormWB({12000, 2131}, 1700, false)->WebBrowser1.height, 1);
    auto low = LayoutFormWB({12000, 500}, 1700, false);
    EXPECT_EQ(low->WebBrowser1, (Rect{10, 1730, 11850, 0}));
    auto narrow = LayoutFormWB({100, 9000}, 1700, false);
    EXPECT_EQ(narrow->Frame1.width, 0);
    EXPECT_EQ(narrow->WebBrowser1.width, 0);
}

namespace {
const std::wstring Local = L"C:\\Tavolin\\Quorvel.htm";
const std::wstring LocalUrl = L"file:///C:/Tavolin/Quorvel.htm";
const std::wstring Remote = L"https://www.tavolin.net/wallpaper/";
} // namespace

TEST(PageFallback, OneLocalPagePerFailureAndNeverALoop) {
    PageFallback f(Local);
    f.Starting(Remote);
    EXPECT_EQ(f.Failed(Remote), Action::OpenLocalPage);
    f.Starting(LocalUrl); // the browser announces the local page
    EXPECT_EQ(f.Failed(LocalUrl), Action::ShowCannotDisplay);
    EXPECT_TRUE(f.GaveUp());
    // Further errors of either page lead nowhere.
    EXPECT_EQ(f.Failed(LocalUrl), Action::None);
    EXPECT_EQ(f.Failed(Remote), Action::None);

    // A new navigation (a button) that fails gets the local page once more.
    f.Starting(L"https://www.tavolin.net/software/");
    EXPECT_FALSE(f.GaveUp());
    EXPECT_EQ(f.Failed(L"https://www.tavolin.net/software/"), Action::OpenLocalPage);
    EXPECT_EQ(f.Failed(Local), Action::ShowCannotDisplay);
}

TEST(PageFallback, ErrorsOfReplacedNavigationsAreIgnored) {
    PageFallback f(Local);
    // The start page is asked for twice (load and first layout); both fail.
    f.Starting(Remote);
    f.Starting(Remote);
    EXPECT_EQ(f.Failed(Remote), Action::OpenLocalPage);
    EXPECT_EQ(f.Failed(Remote), Action::None);
    // The local page shows; a link on it fails: the local page again.
    f.Starting(L"https://www.tavolin.net/");
    EXPECT_EQ(f.Failed(L"https://www.tavolin.net/"), Action::OpenLocalPage);
    // A late error of the local page after a new remote navigation started is stale too.
    f.Starting(Remote);
    EXPECT_EQ(f.Failed(Local), Action::None);
}
