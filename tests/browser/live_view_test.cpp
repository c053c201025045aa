// The folder browser while sizes are walked and while other programs change the shown folder: results
// for a folder left behind, sorting with sizes still coming, the watch, and the end during walks.
#include "browser/browser_page.h"
#include "tests/support/message_boxes.h"
#include "tests/support/temp_folder.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <functional>
#include <memory>

namespace {

using Names = std::vector<std::wstring>;

struct NoHost : browser::BrowserHost {
    std::wstring chosen;
    void BringUpMainWindow() override {}
    void ShowBrowserTab() override {}
    std::wstring BrowseForFolder() override { return chosen; }
};

class LiveViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        window = CreateWindowW(L"STATIC", L"Tavolin", WS_OVERLAPPEDWINDOW, 0, 0, 800, 500, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        page = std::make_unique<browser::BrowserPage>(host);
        ASSERT_TRUE(page->Build(window, ui::IDC_Page0, nullptr, 96));
        SetWindowPos(page->hwnd(), nullptr, 0, 0, 780, 460, SWP_NOZORDER | SWP_SHOWWINDOW);
        page->Layout(11000, 6500, 96);
        paths.Desktop = Folder(L"桌面");
        paths.Documents = Folder(L"文档");
    }
    void TearDown() override {
        DestroyWindow(window);
        page.reset();
    }

    std::wstring Folder(const std::wstring& relative) {
        std::wstring f = temp.path() + L"\\" + relative;
        CreateDirectoryW(f.c_str(), nullptr);
        return f;
    }
    void File(const std::wstring& relative, size_t bytes) {
        test::TempFolder::Write(temp.path() + L"\\" + relative, std::string(bytes, 'x'));
    }
    static bool Pump(const std::function<bool()>& done, DWORD ms = 10000) {
        for (DWORD start = GetTickCount(); !done(); Sleep(5)) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            if (GetTickCount() - start > ms) return false;
        }
        return true;
    }
    // Every size of the shown folder in, and whatever was still on its way dispatched.
    void Settle() {
        ASSERT_TRUE(Pump([&] { return !page->SizesPending(); }));
        Sleep(100);
        Pump([] { return false; }, 50);
    }
    Names Rows(bool withSizes = false) const {
        Names names;
        for (const browser::BrowserRow& row : page->Rows())
            names.push_back(withSizes ? row.Text + L" " + row.Size : row.Text);
        return names;
    }
    void Select(const std::wstring& name) {
        ListView_SetItemState(page->ListView1, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (size_t i = 0; i < page->Rows().size(); ++i)
            if (page->Rows()[i].Text == name)
                ListView_SetItemState(page->ListView1, static_cast<int>(i), LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
    }
    std::wstring Selected() const {
        const browser::BrowserRow* row = page->SelectedItem();
        return row ? row->Text : L"";
    }

    test::TempFolder temp;
    test::MessageBoxes boxes;
    HWND window = nullptr;
    NoHost host;
    std::unique_ptr<browser::BrowserPage> page;
    core::FolderPaths paths;
};

} // namespace

TEST_F(LiveViewTest, SizesForAFolderLeftBehindNeverLandWhicheverWayItWasLeft) {
    // Each folder's rows have sizes of their own, so that a size landing in the wrong list shows.
    Folder(L"桌面\\甲");
    File(L"桌面\\甲\\a.bin", 1000);
    Folder(L"桌面\\甲\\乙");
    File(L"桌面\\甲\\乙\\b.bin", 2000);
    Folder(L"桌面\\丙");
    File(L"桌面\\丙\\c.bin", 7000);
    Folder(L"文档\\丁");
    File(L"文档\\丁\\d.bin", 4000);
    File(L"桌面\\gone.txt", 1);
    const Names desktopRows{L"丙 7.00", L"甲 3.00", L"gone.txt 0.00"};
    page->StartUp(paths);
    Settle();
    ASSERT_EQ(Rows(true), desktopRows);

    const std::vector<std::pair<const char*, std::function<void()>>> ways{
        {"entering a folder", [&] { Select(L"甲"), page->EnterSelectedFolder(); }},
        {"going back", [&] { page->Command8_Click(); }},
        {"the selector", [&] { page->ShowSpecialFolder(L"我的文档"); }},
        {"the selector again", [&] { page->ShowSpecialFolder(L"桌面"); }},
        {"a file operation's rebuild", [&] { Select(L"gone.txt"), page->DeleteSelected(); }},
        {"刷新", [&] { page->RefreshBrowser(); }},
    };
    for (const auto& [way, leave] : ways) {
        // The walks of the shown folder end and post their sizes, which wait unread in the queue.
        page->RefreshBrowser();
        Sleep(300);
        leave();
        Settle();
        for (const browser::BrowserRow& row : page->Rows())
            if (row.Directory) {
                EXPECT_EQ(row.Size, browser::BrowserPage::FolderSizeText(row.Key)) << way;
            }
    }
    EXPECT_EQ(Rows(true), (Names{L"丙 7.00", L"甲 3.00"}));
}

TEST_F(LiveViewTest, ASizeSortWithSizesStillComingPutsThemLastAndSortsAgainAtTheEnd) {
    Folder(L"桌面\\大");
    File(L"桌面\\大\\x.bin", 50000);
    Folder(L"桌面\\小");
    File(L"桌面\\a.txt", 10240);
    File(L"桌面\\b.txt", 1024);
    page->StartUp(paths);
    Select(L"a.txt");
    // Sorted before any size arrived: the folders, unknown, come last in both directions.
    page->ListView1_ColumnClick(2);
    EXPECT_EQ(Rows(), (Names{L"a.txt", L"b.txt", L"大", L"小"}));
    page->ListView1_ColumnClick(2);
    EXPECT_EQ(Rows(), (Names{L"b.txt", L"a.txt", L"大", L"小"}));
    EXPECT_EQ(Selected(), L"a.txt");
    // With the last size the list sorts itself once more, ascending as the user asked.
    Settle();
    EXPECT_EQ(Rows(true), (Names{L"小 0.00", L"b.txt 1.00", L"a.txt 10.00", L"大 50.00"}));
    EXPECT_EQ(Selected(), L"a.txt");
    EXPECT_EQ(page->SelectedRows().size(), 1u);
}

TEST_F(LiveViewTest, TheWatchShowsWhatOtherProgramsDoInTheFolder) {
    File(L"桌面\\b.txt", 1);
    File(L"桌面\\old name.txt", 1);
    File(L"桌面\\delete me.txt", 1);
    page->StartUp(paths);
    Settle();
    ASSERT_TRUE(page->Watching());
    Select(L"b.txt");
    page->ListView1_ColumnClick(1); // 名称, descending
    ASSERT_EQ(Rows(), (Names{L"old name.txt", L"delete me.txt", L"b.txt"}));

    // Created, deleted, renamed, changed; and a new folder with something put in it afterwards.
    const std::wstring d = paths.Desktop + L"\\";
    File(L"桌面\\c.txt", 2048);
    DeleteFileW((d + L"delete me.txt").c_str());
    MoveFileW((d + L"old name.txt").c_str(), (d + L"a.txt").c_str());
    File(L"桌面\\b.txt", 1024);
    Folder(L"桌面\\new folder");
    ASSERT_TRUE(Pump([&] { return Rows().size() == 4 && !page->SizesPending(); }));
    Pump([] { return false; }, 1500); // a quiet while: the watch lets go of its folders and takes them again
    File(L"桌面\\new folder\\inside.bin", 5000);
    EXPECT_TRUE(Pump([&] {
        return Rows(true) == Names{L"new folder 5.00", L"c.txt 2.00", L"b.txt 1.00", L"a.txt 0.00"};
    })) << testing::PrintToString(Rows(true));
    // The sort order and the selection stayed as they were.
    EXPECT_EQ(Selected(), L"b.txt");
    EXPECT_EQ(page->SelectedRows().size(), 1u);

    // The folder itself goes away: the list empties and the path label says so; back still works.
    page->ShowSpecialFolder(L"我的文档");
    page->ShowSpecialFolder(L"桌面");
    Select(L"new folder");
    page->EnterSelectedFolder();
    std::wstring moved = temp.path() + L"\\别处";
    ASSERT_TRUE(MoveFileW((d + L"new folder").c_str(), moved.c_str()));
    EXPECT_TRUE(Pump([&] { return page->Rows().empty(); }));
    EXPECT_EQ(platform::GetText(page->Label2), L"文件夹已不存在：" + d + L"new folder");
    EXPECT_FALSE(page->Watching());
    page->Command8_Click();
    EXPECT_EQ(platform::GetText(page->Label2), paths.Desktop);
    EXPECT_EQ(Rows(), (Names{L"a.txt", L"b.txt", L"c.txt"}));
    EXPECT_TRUE(page->Watching());
}

TEST_F(LiveViewTest, TheEndDuringWalksWaitsForNoneAndLeavesNothingBehind) {
    for (int i = 0; i < 20; ++i) {
        std::wstring sub = L"桌面\\f" + std::to_wstring(i);
        Folder(sub);
        for (int j = 0; j < 100; ++j)
            File(sub + L"\\" + std::to_wstring(j), 1);
    }
    page->StartUp(paths);
    EXPECT_TRUE(page->SizesPending());
    // The window goes first, then the page with its walker and its watch.
    DestroyWindow(window);
    window = nullptr;
    page.reset();
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, browser::WM_FOLDER_SIZE, browser::WM_FOLDER_SIZE, PM_REMOVE));
}
