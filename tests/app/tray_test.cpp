// The tray icon and its window procedure on a real window, with Wine's notification area.
#include "app/tray.h"
#include "tests/support/user_input.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <tuple>
#include <vector>

namespace {

std::vector<std::pair<UINT, LPARAM>> received;

LRESULT CALLBACK Recorder(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == app::TRAY_CALLBACK_MESSAGE) {
        received.emplace_back(msg, lp);
        return 42;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

struct TestWindow {
    HWND hwnd;
    TestWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Recorder;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        wc.lpszClassName = L"TavolinTrayTest";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, L"TavolinTrayTest", L"tray test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(LoadIconW(nullptr, IDI_APPLICATION)));
        received.clear();
    }
    ~TestWindow() { DestroyWindow(hwnd); }
};

bool IconExists(HWND w) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = w;
    return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

} // namespace

TEST(TrayIcon, RoutesItsCallbackAndGivesTheProcedureBackOnRemoval) {
    TestWindow w;
    ASSERT_TRUE(app::AddTrayIcon(w.hwnd, nullptr));
    EXPECT_TRUE(app::SetTrayTip(L"Tavolin(Quorvel)"));
    EXPECT_TRUE(IconExists(w.hwnd));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w.hwnd, GWLP_WNDPROC)), &app::TrayWindowProc);

    // A button release shows the window in the normal state and is not passed on.
    ShowWindow(w.hwnd, SW_MINIMIZE);
    ShowWindow(w.hwnd, SW_HIDE);
    EXPECT_EQ(SendMessageW(w.hwnd, app::TRAY_CALLBACK_MESSAGE, 0, WM_LBUTTONUP), 0);
    EXPECT_TRUE(IsWindowVisible(w.hwnd));
    EXPECT_FALSE(IsIconic(w.hwnd));
    EXPECT_TRUE(received.empty());

    // Everything else goes to the window's own procedure, with its result.
    EXPECT_EQ(SendMessageW(w.hwnd, app::TRAY_CALLBACK_MESSAGE, 0, WM_MOUSEMOVE), 42);
    EXPECT_EQ(SendMessageW(w.hwnd, app::TRAY_CALLBACK_MESSAGE, 0, WM_LBUTTONDBLCLK), 42);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].second, WM_MOUSEMOVE);
    EXPECT_EQ(received[1].second, WM_LBUTTONDBLCLK);

    app::RemoveTrayIcon();
    EXPECT_FALSE(IconExists(w.hwnd));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w.hwnd, GWLP_WNDPROC)), &Recorder);
    // After removal the callback is no longer handled.
    ShowWindow(w.hwnd, SW_HIDE);
    EXPECT_EQ(SendMessageW(w.hwnd, app::TRAY_CALLBACK_MESSAGE, 0, WM_LBUTTONUP), 42);
    EXPECT_FALSE(IsWindowVisible(w.hwnd));
}

TEST(TrayIcon, IsAddedAgainWhenTheTaskbarComesBack) {
    TestWindow w;
    ASSERT_TRUE(app::AddTrayIcon(w.hwnd, nullptr));
    app::SetTrayTip(L"Tavolin(Quorvel)");
    // What a restarted shell leaves behind: no icon at all.
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = w.hwnd;
    Shell_NotifyIconW(NIM_DELETE, &nid);
    ASSERT_FALSE(IconExists(w.hwnd));
    EXPECT_TRUE(app::RestoreTrayIcon());
    EXPECT_TRUE(IconExists(w.hwnd));
    app::RemoveTrayIcon();
    EXPECT_FALSE(IconExists(w.hwnd));
}

TEST(TrayIcon, AnswersTheKeyboardAsVersion4ReportsIt) {
    TestWindow w;
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"显示界面");
    ASSERT_TRUE(app::AddTrayIcon(w.hwnd, menu));
    test::MenuWatch menus;
    // Enter or Space, a click, the menu key, a right click (its WM_CONTEXTMENU opens nothing more), the menu
    // key.
    std::tuple<UINT, bool, int> steps[] = {{NIN_KEYSELECT, true, 0},   {NIN_SELECT, true, 0},
                                           {WM_CONTEXTMENU, false, 1}, {WM_RBUTTONUP, false, 2},
                                           {WM_CONTEXTMENU, false, 2}, {WM_CONTEXTMENU, false, 3}};
    for (auto [event, shown, menusSeen] : steps) {
        ShowWindow(w.hwnd, SW_HIDE);
        // Version 4: the event in lParam's low word, the icon's id in its high word, the anchor in wParam.
        SendMessageW(w.hwnd, app::TRAY_CALLBACK_MESSAGE, MAKEWPARAM(40, 30), MAKELPARAM(event, 0));
        EXPECT_EQ(IsWindowVisible(w.hwnd) != FALSE, shown) << event;
        EXPECT_EQ(test::MenuWatch::seen, menusSeen) << event;
    }
    // A right click whose WM_CONTEXTMENU never comes: the menu key a moment later opens the menu.
    SendMessageW(w.hwnd, app::TRAY_CALLBACK_MESSAGE, MAKEWPARAM(40, 30), MAKELPARAM(WM_RBUTTONUP, 0));
    Sleep(600);
    SendMessageW(w.hwnd, app::TRAY_CALLBACK_MESSAGE, MAKEWPARAM(40, 30), MAKELPARAM(WM_CONTEXTMENU, 0));
    EXPECT_EQ(test::MenuWatch::seen, 5);
    EXPECT_TRUE(received.empty());
    app::RemoveTrayIcon();
    DestroyMenu(menu);
}
