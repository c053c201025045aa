// The web window from the main window's two commands: the picture tab's "下载最新墙纸" and the tray's "关于".
#include "res/resource.h"
#include "tests/support/main_window.h"
#include "tests/support/user_input.h"
#include "web/form_wb.h"

#include <gtest/gtest.h>

namespace {

class WebWindowCommandsTest : public test::MainWindowTest {
  protected:
    void TearDown() override {
        web::CloseFormWB();
        MainWindowTest::TearDown();
    }
};

} // namespace

TEST_F(WebWindowCommandsTest, BothCommandsOpenTheOneWebWindowWithoutAnOwner) {
    ASSERT_EQ(web::FormWBWindow(), nullptr);
    SelectTab(1);
    test::Press(form->Pictures().Command5);
    HWND first = web::FormWBWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_EQ(GetWindow(first, GW_OWNER), nullptr);
    EXPECT_EQ(platform::GetText(first), L"下载最新墙纸－Tavolin");
    SendMessageW(form->hwnd(), WM_COMMAND, MAKEWPARAM(ID_menu关于, 0), 0);
    EXPECT_EQ(web::FormWBWindow(), first) << "the open window is only brought up";
    // Closing it leaves the program running.
    SendMessageW(first, WM_CLOSE, 0, 0);
    EXPECT_EQ(web::FormWBWindow(), nullptr);
    EXPECT_TRUE(IsWindow(form->hwnd()));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}
