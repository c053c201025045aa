// The main window shows its first tab at once; the other tabs follow once it is up, or sooner when
// something reaches them first.
#include "core/identity.h"
#include "tests/support/main_window.h"

#include <gtest/gtest.h>

using StartUpTest = test::MainWindowTest;

TEST_F(StartUpTest, TheHiddenTabsAreBuiltWhenFirstNeededAndOnlyOnce) {
    HWND main = form->hwnd();
    // (Arguments to the test program are a picture to show, which needs the picture tab at once.)
    if (core::CommandLinePicture(GetCommandLineW()).empty()) {
        ASSERT_FALSE(GetDlgItem(main, ui::IDC_Page1));
        EXPECT_FALSE(form->Browser().ListDropTarget());
    }
    SelectTab(2); // a click on the monitor's tab before start-up has built it
    HWND monitor = GetDlgItem(main, ui::IDC_Page2);
    ASSERT_TRUE(monitor);
    EXPECT_TRUE(IsWindowVisible(monitor));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, ui::IDC_Page0)));
    EXPECT_EQ(platform::GetText(GetDlgItem(GetDlgItem(main, ui::IDC_Page3), ui::IDC_lblVersion)),
              core::VersionLabel());
    EXPECT_EQ(form->Settings().WallpaperFolder, form->Pictures().Path());
    EXPECT_TRUE(form->Browser().ListDropTarget());

    // Start-up's own timed build comes after that and changes nothing.
    for (ULONGLONG end = GetTickCount64() + 200; GetTickCount64() < end; Sleep(5))
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageW(&msg);
    int pages = 0;
    for (HWND w = GetWindow(main, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        pages += GetDlgCtrlID(w) >= ui::IDC_Page0 && GetDlgCtrlID(w) <= ui::IDC_Page3;
    EXPECT_EQ(pages, 4);
    EXPECT_TRUE(IsWindowVisible(monitor));
}
