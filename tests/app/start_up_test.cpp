// The main window shows its first tab at once; the other tabs follow once it is up, or sooner when
// something reaches them first.
#include "core/identity.h"
#include "tests/support/main_window.h"

#include <gtest/gtest.h>

namespace {

int Children(HWND parent, int id) {
    int n = 0;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        n += GetDlgCtrlID(w) == id;
    return n;
}

using StartUpTest = test::MainWindowTest;

} // namespace

TEST_F(StartUpTest, TheHiddenTabsAreBuiltWhenFirstNeededAndOnlyOnce) {
    HWND main = form->hwnd();
    ASSERT_EQ(Children(main, ui::IDC_Page0), 1);
    // (Arguments to the test program are a picture to show, which needs the picture tab at once.)
    if (core::CommandLinePicture(GetCommandLineW()).empty()) {
        ASSERT_EQ(Children(main, ui::IDC_Page1), 0);
        EXPECT_FALSE(form->Browser().ListDropTarget());
    }

    // A click on the monitor's tab before the window has waited for input once.
    SelectTab(2);
    HWND monitor = GetDlgItem(main, ui::IDC_Page2);
    ASSERT_TRUE(monitor);
    EXPECT_TRUE(IsWindowVisible(monitor));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, ui::IDC_Page1)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, ui::IDC_Page0)));
    EXPECT_EQ(platform::GetText(GetDlgItem(GetDlgItem(main, ui::IDC_Page3), ui::IDC_lblVersion)),
              core::VersionLabel());
    EXPECT_EQ(form->Settings().WallpaperFolder, form->Pictures().Path());

    // The build that start-up timed comes after it and changes nothing.
    for (ULONGLONG end = GetTickCount64() + 200; GetTickCount64() < end; Sleep(5))
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageW(&msg);
    for (int id : {ui::IDC_Page1, ui::IDC_Page2, ui::IDC_Page3})
        EXPECT_EQ(Children(main, id), 1) << id;
    EXPECT_EQ(GetDlgItem(main, ui::IDC_Page2), monitor);
    EXPECT_TRUE(form->Browser().ListDropTarget()); // files can be dropped on the list from then on
    EXPECT_TRUE(IsWindowVisible(monitor));
}
