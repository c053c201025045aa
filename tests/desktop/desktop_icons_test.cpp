// Finding, hiding and showing the desktop icon view in each layout of the shell's windows. The crash
// guard is tested with the program itself (tests/e2e).
#include "desktop/desktop_icons.h"

#include "tests/support/fake_desktop.h"

#include <gtest/gtest.h>

using test::FakeDesktop;

namespace {

class EachLayout : public testing::TestWithParam<FakeDesktop::Layout> {};

} // namespace

TEST(DesktopIcons, NoShellWindowsIsNoError) {
    ASSERT_FALSE(FindWindowW(L"Progman", nullptr));
    EXPECT_EQ(desktop::FindDesktopView(), nullptr);
    EXPECT_EQ(desktop::HideDesktopIcons(), nullptr);
    EXPECT_EQ(desktop::ShowDesktopIcons(), nullptr);
}

TEST_P(EachLayout, HideAndShowAreIdempotent) {
    FakeDesktop shell(GetParam());
    ASSERT_EQ(desktop::FindDesktopView(), shell.view());
    ASSERT_TRUE(shell.ViewVisible());

    EXPECT_EQ(desktop::HideDesktopIcons(), shell.view());
    EXPECT_FALSE(shell.ViewVisible());
    desktop::HideDesktopIcons();
    EXPECT_FALSE(shell.ViewVisible());
    // Still found while hidden: the search never depends on visibility.
    EXPECT_EQ(desktop::ShowDesktopIcons(), shell.view());
    EXPECT_TRUE(shell.ViewVisible());
    desktop::ShowDesktopIcons();
    EXPECT_TRUE(shell.ViewVisible());
    EXPECT_EQ(shell.Hides(), 1);
    EXPECT_EQ(shell.Shows(), 1);
}

INSTANTIATE_TEST_SUITE_P(Layouts, EachLayout,
                         testing::Values(FakeDesktop::Layout::ViewUnderProgman,
                                         FakeDesktop::Layout::ViewUnderWorkerWChild,
                                         FakeDesktop::Layout::ViewUnderTopLevelWorkerW));
