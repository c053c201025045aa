// The folder browser page in a window of its own, over a temporary folder holding the special folders.
#pragma once
#include "browser/browser_page.h"
#include "tests/support/message_boxes.h"
#include "tests/support/temp_folder.h"

#include <commctrl.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <objbase.h>

namespace test {

struct FakeHost : browser::BrowserHost {
    int broughtUp = 0, tabShown = 0, folderChoices = 0;
    std::wstring chosenFolder; // what the folder picker gives; empty: cancelled
    void BringUpMainWindow() override { ++broughtUp; }
    void ShowBrowserTab() override { ++tabShown; }
    std::wstring BrowseForFolder() override { return ++folderChoices, chosenFolder; }
};

class PageFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        window = CreateWindowW(L"STATIC", L"Tavolin", WS_OVERLAPPEDWINDOW, 0, 0, 800, 500, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(page.Build(window, ui::IDC_Page0, nullptr, 96));
        page.FinishBuild();
        SetWindowPos(page.hwnd(), nullptr, 0, 0, 780, 460, SWP_NOZORDER | SWP_SHOWWINDOW);
        page.Layout(11000, 6500, 96);
        desktop = Folder(L"桌面");
        paths.Desktop = desktop;
        for (auto [field, name] : {std::pair{&paths.Windows, L"Windows"},
                                   {&paths.System, L"System32"},
                                   {&paths.Documents, L"我的文档"},
                                   {&paths.BrowserCache, L"Cache"},
                                   {&paths.Temp, L"Temp"}})
            *field = Folder(name);
    }
    void TearDown() override { DestroyWindow(window); }

    std::wstring Folder(const std::wstring& relative) {
        std::wstring f = temp.path() + L"\\" + relative;
        CreateDirectoryW(f.c_str(), nullptr);
        return f;
    }
    static void File(const std::wstring& path, size_t bytes) {
        test::TempFolder::Write(path, std::string(bytes, 'x'));
    }

    // The rows' names, each followed by its size if asked.
    std::vector<std::wstring> Names(bool withSizes = false) const {
        std::vector<std::wstring> names;
        for (const browser::BrowserRow& row : page.Rows())
            names.push_back(withSizes ? row.Text + L" " + row.Size : row.Text);
        return names;
    }
    void Select(const std::wstring& name) {
        ListView_SetItemState(page.ListView1, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (size_t i = 0; i < page.Rows().size(); ++i)
            if (page.Rows()[i].Text == name)
                ListView_SetItemState(page.ListView1, static_cast<int>(i), LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
    }
    // Runs the page's messages (sizes from the walking thread, the live view's timer) until `done`.
    static bool Pump(const std::function<bool()>& done, DWORD ms = 10000) {
        for (DWORD start = GetTickCount(); !done(); Sleep(5)) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            if (GetTickCount() - start > ms) return false;
        }
        return true;
    }
    void WaitForSizes() {
        ASSERT_TRUE(Pump([&] { return !page.SizesPending(); }));
    }
    std::wstring Label2() const { return platform::GetText(page.Label2); }

    test::TempFolder temp;
    test::MessageBoxes boxes;
    HWND window = nullptr;
    FakeHost host;
    std::unique_ptr<browser::BrowserPage> owned = std::make_unique<browser::BrowserPage>(host);
    browser::BrowserPage& page = *owned; // a test may end the page before the fixture does
    core::FolderPaths paths;
    std::wstring desktop;
};

} // namespace test
