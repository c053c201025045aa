// The change monitor of a running main window logs what the browser's own file operations do.
#include "tests/monitor/monitor_window.h"
#include "tests/support/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

class MonitorBrowserTest : public test::MainWindowTest {
  protected:
    void Pump() {
        for (int i = 0; i < 30; ++i) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            Sleep(10);
        }
    }
    void Select(const std::wstring& name) {
        browser::BrowserPage& b = form->Browser();
        ListView_SetItemState(b.ListView1, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (size_t i = 0; i < b.Rows().size(); ++i)
            if (b.Rows()[i].Text == name)
                ListView_SetItemState(b.ListView1, static_cast<int>(i), LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
    }
    std::wstring Log() const { return test::LogText(form->Monitor().RichTextBox1); }
};

} // namespace

TEST_F(MonitorBrowserTest, ADeleteThroughTheBrowserIsLoggedWhileMonitoringAndNotAfter) {
    std::wstring desktop = temp.path() + L"\\桌面";
    CreateDirectoryW(desktop.c_str(), nullptr);
    test::TempFolder::Write(desktop + L"\\一.txt", "1");
    test::TempFolder::Write(desktop + L"\\二.txt", "2");
    form->Folders().Desktop = desktop;
    form->Browser().StartUp(form->Folders());

    form->Monitor().Command7_Click();
    ASSERT_TRUE(form->Monitor().Monitoring());
    Select(L"一.txt");
    form->Browser().DeleteSelected();
    Pump();
    std::wstring log = Log();
    EXPECT_NE(log.find(L"SHCNE_DELETE"), std::wstring::npos) << log;
    EXPECT_NE(log.find(desktop + L"\\一.txt"), std::wstring::npos) << log;

    form->Monitor().Command9_Click();
    Select(L"二.txt");
    form->Browser().DeleteSelected();
    Pump();
    EXPECT_EQ(Log().find(desktop + L"\\二.txt"), std::wstring::npos);
    EXPECT_TRUE(boxes.Texts().empty());
}
