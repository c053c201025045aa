// The main window from the keyboard alone: keys sent with SendInput and handled by the program's own
// step of the message loop, and the names that assistive programs read.
#include "tests/support/main_window.h"
#include "tests/support/user_input.h"
#include "tests/wallpaper/test_pictures.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

class KeyboardTest : public test::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.jpg"})
            test::WritePicture(PictureFolder() + L"\\" + name, GUID_ContainerFormatJpeg, 64, 48);
        ASSERT_TRUE(form->Pictures().SetPath(PictureFolder()));
        ShowWindow(form->hwnd(), SW_SHOWNORMAL);
        // Keys from SendInput go to the active window: the test waits until the window is it.
        ASSERT_TRUE(test::Pump(form->hwnd(), 5000, [&] {
            SetForegroundWindow(form->hwnd());
            return GetForegroundWindow() == form->hwnd() && GetFocus();
        }));
        // The test's own arguments may have looked like a picture to open: its message is not the keys'.
        ASSERT_TRUE(test::Pump(form->hwnd(), 10000, [&] { return !form->Pictures().PictureWorkPending(); }));
        boxes.Clear();
        SelectTab(0);
    }
    bool Caption(const wchar_t* picture) { return platform::GetText(form->hwnd()).ends_with(picture); }
};

} // namespace

TEST_F(KeyboardTest, KeysChangeTheTabMoveTheFocusInReadingOrderAndRunTheListsCommands) {
    wallpaper::PicturePage& p = form->Pictures();
    // PageUp and PageDown move by a page: in the 列表 view one page holds the three pictures.
    p.SetView(false);
    HWND tabs = form->TabControl(), combo = form->Browser().Combo1, first = p.Command1;
    struct Step {
        std::vector<WORD> keys;
        int tab;
        HWND focus;
        std::function<bool()> done; // what the key did besides; none: the focus moved
    } steps[] = {
        {{VK_CONTROL, VK_TAB}, 1, first},
        {{VK_CONTROL, VK_NEXT}, 2, form->Monitor().Command7},
        {{VK_CONTROL, VK_SHIFT, VK_TAB}, 1, first},
        {{VK_CONTROL, VK_PRIOR}, 0, combo},
        {{VK_CONTROL, VK_PRIOR}, 3, form->About().Label6}, // the product page's link
        {{VK_CONTROL, VK_TAB}, 0, combo},
        {{VK_TAB}, 0, form->Browser().ListView1}, // 后退 is disabled
        {{VK_CONTROL, VK_TAB}, 1, first},
        {{VK_TAB}, 1, p.Command3}, // left to right, then the next row
        {{VK_TAB}, 1, p.Command2},
        {{VK_SHIFT, VK_TAB}, 1, p.Command3},
        {{VK_SHIFT, VK_TAB}, 1, first},
        {{VK_SHIFT, VK_TAB}, 1, tabs},
        {{VK_SHIFT, VK_TAB}, 1, p.File1},
        {{VK_DOWN}, 1, p.File1, [&] { return Caption(L"\\a.jpg") && p.Preview().Shown(); }},
        {{VK_END}, 1, p.File1, [&] { return Caption(L"\\c.jpg"); }},
        {{VK_PRIOR}, 1, p.File1, [&] { return Caption(L"\\a.jpg"); }},
        {{VK_NEXT}, 1, p.File1, [&] { return Caption(L"\\c.jpg"); }},
        {{VK_HOME}, 1, p.File1, [&] { return Caption(L"\\a.jpg"); }},
        {{VK_DOWN}, 1, p.File1, [&] { return Caption(L"\\b.jpg"); }},
        {{VK_SHIFT, VK_F10}, 1, p.File1, [&] { return test::MenuWatch::seen == 1; }},
        {{VK_APPS}, 1, p.File1, [&] { return test::MenuWatch::seen == 2; }},
        {{VK_DELETE}, 1, p.File1, [&] { return otherDialogs == 1 && p.ListCount() == 2; }},
    };
    test::MenuWatch menus;
    otherAnswer = IDYES; // the shell's question before the recycle bin
    auto translate = [&](MSG& msg) { return form->TranslateKeys(msg); };
    for (const Step& s : steps) {
        HWND before = GetFocus();
        test::PressKeys(s.keys);
        EXPECT_TRUE(test::Pump(
            form->hwnd(), 3000,
            [&] {
                return TabCtrl_GetCurSel(tabs) == s.tab && GetFocus() == s.focus &&
                       (s.done ? s.done() : GetFocus() != before);
            },
            translate))
            << "step " << (&s - steps) << " keys ending in " << s.keys.back() << ": tab "
            << TabCtrl_GetCurSel(tabs) << ", focus on " << GetDlgCtrlID(GetFocus());
    }
    EXPECT_FALSE(test::Exists(PictureFolder() + L"\\b.jpg")) << "in the recycle bin";
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(KeyboardTest, EveryControlThatTakesTheFocusHasAName) {
    wallpaper::PicturePage& p = form->Pictures();
    browser::BrowserPage& b = form->Browser();
    std::vector<std::pair<HWND, std::wstring>> named = {
        {form->TabControl(), L"选项卡"}, {b.Combo1, L"文件夹"},
        {b.ListView1, L"文件列表"},      {b.Command8, L"后退"},
        {p.File1, L"图片列表"},          {p.P_back, L"图片预览"},
        {p.Command2, L"设为墙纸"},       {form->Monitor().RichTextBox1, L"监视记录"},
    };
    for (const auto& [control, name] : named)
        EXPECT_EQ(test::AccessibleName(control), name);
    std::vector<HWND> all;
    EnumChildWindows(
        form->hwnd(),
        [](HWND w, LPARAM list) {
            if (GetWindowLongW(w, GWL_STYLE) & WS_TABSTOP)
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    EXPECT_GE(all.size(), 13u);
    for (HWND w : all)
        EXPECT_FALSE(test::AccessibleName(w).empty()) << "control " << GetDlgCtrlID(w);
}
