// The main window from the keyboard alone: keys sent with SendInput and handled by the program's own
// step of the message loop, and the names that assistive programs read.
#include "tests/support/main_window.h"
#include "tests/support/user_input.h"
#include "tests/wallpaper/test_pictures.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

class KeyboardTest : public test::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.jpg"})
            test::WritePicture(PictureFolder() + L"\\" + name, GUID_ContainerFormatJpeg, 64, 48);
        ASSERT_TRUE(form->Pictures().SetPath(PictureFolder()));
        ShowWindow(form->hwnd(), SW_SHOWNORMAL);
        SetForegroundWindow(form->hwnd());
        SelectTab(0); // the test's own arguments may have looked like a picture to open
    }
    bool Pump(DWORD ms, const std::function<bool()>& done) {
        for (ULONGLONG end = GetTickCount64() + ms; !done() && GetTickCount64() < end; Sleep(10))
            for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
                if (!form->TranslateKeys(msg)) TranslateMessage(&msg), DispatchMessageW(&msg);
        return done();
    }
    // Presses `keys` and waits until `done` holds.
    bool Press(const std::vector<WORD>& keys, const std::function<bool()>& done) {
        test::PressKeys(keys);
        return Pump(3000, done);
    }
    int Tab() const { return TabCtrl_GetCurSel(form->TabControl()); }
    wallpaper::PicturePage& P() { return form->Pictures(); }
};

} // namespace

TEST_F(KeyboardTest, KeysChangeTheTabMoveInThePictureListAndRunItsCommands) {
    ui::TabPage* pages[] = {&form->Browser(), &form->Pictures(), &form->Monitor()};
    HWND tabs = form->TabControl();
    SetFocus(form->Browser().ListView1);
    struct Step {
        std::vector<WORD> keys;
        int tab;
        std::function<HWND()> focus;
        std::function<bool()> done; // what the key did besides
    } steps[] = {
        {{VK_CONTROL, VK_TAB}, 1, [&] { return P().Command1; }},
        {{VK_CONTROL, VK_NEXT}, 2, [&] { return form->Monitor().Command7; }},
        {{VK_CONTROL, VK_SHIFT, VK_TAB}, 1, [&] { return P().Command1; }},
        {{VK_CONTROL, VK_PRIOR}, 0, [&] { return form->Browser().Combo1; }},
        {{VK_CONTROL, VK_PRIOR}, 3, [&] { return tabs; }}, // 关于 has nothing to focus
        {{VK_CONTROL, VK_TAB}, 0, [&] { return form->Browser().Combo1; }},
        {{VK_CONTROL, VK_TAB}, 1, [&] { return P().Command1; }},
        {{VK_SHIFT, VK_TAB}, 1, [&] { return tabs; }},
        {{VK_SHIFT, VK_TAB}, 1, [&] { return P().File1; }},
        {{VK_DOWN}, 1, [&] { return P().File1; },
         [&] { return platform::GetText(form->hwnd()).ends_with(L"\\a.jpg") && P().Preview().Shown(); }},
        {{VK_END}, 1, [&] { return P().File1; }, [&] { return platform::GetText(form->hwnd()).ends_with(L"\\c.jpg"); }},
        {{VK_PRIOR}, 1, [&] { return P().File1; }, [&] { return P().ListIndex() == 0; }},
        {{VK_NEXT}, 1, [&] { return P().File1; }, [&] { return P().ListIndex() == 2; }},
        {{VK_HOME}, 1, [&] { return P().File1; }, [&] { return platform::GetText(form->hwnd()).ends_with(L"\\a.jpg"); }},
        {{VK_DOWN}, 1, [&] { return P().File1; }, [&] { return P().ListIndex() == 1; }},
        {{VK_SHIFT, VK_F10}, 1, [&] { return P().File1; }, [&] { return test::MenuWatch::seen == 1; }},
        {{VK_APPS}, 1, [&] { return P().File1; }, [&] { return test::MenuWatch::seen == 2; }},
        {{VK_DELETE}, 1, [&] { return P().File1; },
         [&] { return otherDialogs == 1 && P().ListCount() == 2 && !test::Exists(PictureFolder() + L"\\b.jpg"); }},
    };
    test::MenuWatch menus;
    otherAnswer = IDYES; // the shell's question before the recycle bin
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "keys ending in " << s.keys.back() << " to tab " << s.tab);
        HWND before = GetFocus();
        bool done = Press(s.keys, [&] {
            return Tab() == s.tab && GetFocus() == s.focus() && (s.done ? s.done() : GetFocus() != before);
        });
        EXPECT_TRUE(done) << "tab " << Tab() << ", focus " << GetFocus();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(IsWindowVisible(pages[i]->hwnd()) != FALSE, i == s.tab);
    }
    EXPECT_EQ(boxes.Texts().size(), 0u);
}

TEST_F(KeyboardTest, TabGoesThroughTheTabStripAndTheShownTabInReadingOrder) {
    ui::TabPage* pages[] = {&form->Browser(), &form->Pictures(), &form->Monitor()};
    for (int tab = 0; tab < 3; ++tab) {
        SelectTab(tab);
        SetFocus(form->TabControl());
        std::vector<HWND> forward, back;
        for (auto* order : {&forward, &back})
            for (int i = 0; i < 12; ++i) {
                HWND before = GetFocus();
                Press(order == &back ? std::vector<WORD>{VK_SHIFT, VK_TAB} : std::vector<WORD>{VK_TAB},
                      [&] { return GetFocus() != before; });
                if (GetFocus() == form->TabControl()) break;
                order->push_back(GetFocus());
            }
        // Every control of the page that can take the focus, once, in reading order; back the other way.
        size_t focusable = 0;
        EnumChildWindows(
            pages[tab]->hwnd(),
            [](HWND w, LPARAM n) {
                if ((GetWindowLongW(w, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(w) && IsWindowVisible(w))
                    ++*reinterpret_cast<size_t*>(n);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&focusable));
        EXPECT_EQ(forward.size(), focusable) << "tab " << tab;
        EXPECT_EQ(std::vector<HWND>(back.rbegin(), back.rend()), forward) << "tab " << tab;
        for (size_t i = 1; i < forward.size(); ++i) {
            RECT a, b;
            GetWindowRect(forward[i - 1], &a), GetWindowRect(forward[i], &b);
            bool sameRow = b.top < a.bottom && a.top < b.bottom;
            EXPECT_TRUE(sameRow ? b.left >= a.right : b.top >= a.bottom)
                << "tab " << tab << ": " << platform::GetText(forward[i]) << " after "
                << platform::GetText(forward[i - 1]);
        }
    }
}

TEST_F(KeyboardTest, EveryControlThatTakesTheFocusHasAName) {
    wallpaper::PicturePage& p = form->Pictures();
    browser::BrowserPage& b = form->Browser();
    std::pair<HWND, std::wstring> given[] = {
        {form->TabControl(), L"选项卡"}, {b.Combo1, L"文件夹"},      {b.ListView1, L"文件列表"},
        {b.Command8, L"后退"},           {p.File1, L"图片列表"},     {p.P_back, L"图片预览"},
        {p.Command2, L"设为墙纸"},       {form->Monitor().RichTextBox1, L"监视记录"},
    };
    for (const auto& [control, name] : given)
        EXPECT_EQ(test::AccessibleName(control), name);
    std::vector<HWND> focusable;
    EnumChildWindows(
        form->hwnd(),
        [](HWND w, LPARAM list) {
            if (GetWindowLongW(w, GWL_STYLE) & WS_TABSTOP) reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&focusable));
    EXPECT_GE(focusable.size(), 13u);
    for (HWND w : focusable)
        EXPECT_FALSE(test::AccessibleName(w).empty()) << "control " << GetDlgCtrlID(w);
}
