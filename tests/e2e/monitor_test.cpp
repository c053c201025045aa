// Quorvel.exe as its own process: the change monitor started and stopped from its tab, with the
// tray's procedure still answering behind it, and quitting while it runs.
#include "tests/e2e/driver.h"
#include "ui/controls.h"

#include <gtest/gtest.h>

using namespace e2e;

TEST(Monitor, StartsAndStopsFromItsTabAndTheProgramQuitsWhileItRuns) {
    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    HWND status = Control(main, ui::IDC_Label3);
    auto press = [&](int id) { Press(Control(main, id)); };
    auto statusIs = [&](const wchar_t* text) { return WaitFor([&] { return Text(status) == text; }, 5000); };
    EXPECT_EQ(Text(status), L"监视尚未启动");

    press(ui::IDC_Command7);
    ASSERT_TRUE(statusIs(L"监视已经启动"));
    // The status is set first, the window subclassed right after.
    EXPECT_TRUE(WaitFor([&] { return GetPropW(main, L"OldWndProc") != nullptr; }, 5000));
    // Behind the monitor the tray's procedure still answers: closing hides, the icon's click shows.
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }, 5000));
    PostMessageW(main, 0x7E9, 0, WM_LBUTTONUP);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000));

    press(ui::IDC_Command9);
    ASSERT_TRUE(statusIs(L"监视已经停止"));
    EXPECT_FALSE(GetPropW(main, L"OldWndProc"));

    // A message box on the way out would keep the program from ending.
    press(ui::IDC_Command7);
    ASSERT_TRUE(statusIs(L"监视已经启动"));
    EXPECT_TRUE(program.Quit());
}
