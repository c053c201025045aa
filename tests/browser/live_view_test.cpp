// The folder browser while sizes are walked and while other programs change the shown folder: results
// for a folder left behind, sorting with sizes still coming, the watch, and the end during walks.
#include "tests/browser/browser_page_fixture.h"

#include <process.h>

namespace {

using Texts = std::vector<std::wstring>;

class LiveViewTest : public test::PageFixture {
  protected:
    // Every size of the shown folder in, and whatever was still on its way dispatched.
    void Settle() {
        WaitForSizes();
        Sleep(100);
        Pump([] { return false; }, 50);
    }
    // The selected item's name, then the name of every selected row.
    Texts Selection() const {
        Texts names{page.SelectedItem() ? page.SelectedItem()->Text : L""};
        for (const browser::BrowserRow* row : page.SelectedRows())
            names.push_back(row->Text);
        return names;
    }
};

} // namespace

TEST_F(LiveViewTest, SizesForAFolderLeftBehindNeverLandWhicheverWayItWasLeft) {
    // Each folder's rows have sizes of their own, so that a size landing in the wrong list shows.
    File(Folder(L"桌面\\甲") + L"\\a.bin", 1000);
    File(Folder(L"桌面\\甲\\乙") + L"\\b.bin", 2000);
    File(Folder(L"桌面\\丙") + L"\\c.bin", 7000);
    File(Folder(L"我的文档\\丁") + L"\\d.bin", 4000);
    File(desktop + L"\\gone.txt", 1);
    page.StartUp(paths);
    Settle();
    ASSERT_EQ(Names(true), (Texts{L"丙 7.00", L"甲 3.00", L"gone.txt 0.00"}));

    const std::pair<const char*, std::function<void()>> ways[]{
        {"entering a folder", [&] { Select(L"甲"), page.EnterSelectedFolder(); }},
        {"going back", [&] { page.Command8_Click(); }},
        {"the selector", [&] { page.ShowSpecialFolder(L"我的文档"); }},
        {"the selector again", [&] { page.ShowSpecialFolder(L"桌面"); }},
        {"a file operation's rebuild", [&] { Select(L"gone.txt"), page.DeleteSelected(); }},
        {"刷新", [&] { page.RefreshBrowser(); }},
    };
    for (const auto& [way, leave] : ways) {
        // The walks of the shown folder end and post their sizes, which wait unread in the queue.
        page.RefreshBrowser();
        Sleep(300);
        leave();
        Settle();
        for (const browser::BrowserRow& row : page.Rows())
            if (row.Directory) {
                EXPECT_EQ(row.Size, browser::BrowserPage::FolderSizeText(row.Key)) << way;
            }
    }
    EXPECT_EQ(Names(true), (Texts{L"丙 7.00", L"甲 3.00"}));
}

TEST_F(LiveViewTest, ASizeSortWithSizesStillComingPutsThemLastAndSortsAgainAtTheEnd) {
    File(Folder(L"桌面\\大") + L"\\x.bin", 50000);
    Folder(L"桌面\\小");
    File(desktop + L"\\a.txt", 10240);
    File(desktop + L"\\b.txt", 1024);
    page.StartUp(paths);
    Select(L"a.txt");
    // Sorted before any size arrived: the folders, unknown, come last in both directions.
    page.ListView1_ColumnClick(2);
    EXPECT_EQ(Names(), (Texts{L"a.txt", L"b.txt", L"大", L"小"}));
    page.ListView1_ColumnClick(2);
    EXPECT_EQ(Names(), (Texts{L"b.txt", L"a.txt", L"大", L"小"}));
    EXPECT_EQ(Selection(), (Texts{L"a.txt", L"a.txt"}));
    // With the last size the list sorts itself once more, ascending as the user asked.
    Settle();
    EXPECT_EQ(Names(true), (Texts{L"小 0.00", L"b.txt 1.00", L"a.txt 10.00", L"大 50.00"}));
    EXPECT_EQ(Selection(), (Texts{L"a.txt", L"a.txt"}));
}

TEST_F(LiveViewTest, TheWatchShowsWhatOtherProgramsDoInTheFolder) {
    const std::wstring d = desktop + L"\\";
    for (const wchar_t* name : {L"b.txt", L"old name.txt", L"delete me.txt"})
        File(d + name, 1);
    page.StartUp(paths);
    Settle();
    ASSERT_TRUE(page.Watching());
    Select(L"b.txt");
    page.ListView1_ColumnClick(1); // 名称, descending
    ASSERT_EQ(Names(), (Texts{L"old name.txt", L"delete me.txt", L"b.txt"}));

    // Created, deleted, renamed, changed; and a new folder with something put in it afterwards.
    File(d + L"c.txt", 2048);
    DeleteFileW((d + L"delete me.txt").c_str());
    MoveFileW((d + L"old name.txt").c_str(), (d + L"a.txt").c_str());
    File(d + L"b.txt", 1024);
    Folder(L"桌面\\new folder");
    ASSERT_TRUE(Pump([&] { return page.Rows().size() == 4 && !page.SizesPending(); }));
    Pump([] { return false; }, 1500); // a quiet while: the watch lets go of its folders and takes them again
    File(d + L"new folder\\inside.bin", 5000);
    const Texts changed{L"new folder 5.00", L"c.txt 2.00", L"b.txt 1.00", L"a.txt 0.00"};
    EXPECT_TRUE(Pump([&] { return Names(true) == changed; })) << testing::PrintToString(Names(true));
    EXPECT_EQ(Selection(), (Texts{L"b.txt", L"b.txt"})); // the sort order and the selection stayed

    // The folder itself goes away: the list empties and the path label says so; back still works.
    page.ShowSpecialFolder(L"我的文档");
    page.ShowSpecialFolder(L"桌面");
    Select(L"new folder");
    page.EnterSelectedFolder();
    ASSERT_TRUE(MoveFileW((d + L"new folder").c_str(), (temp.path() + L"\\别处").c_str()));
    EXPECT_TRUE(Pump([&] { return page.Rows().empty(); }));
    EXPECT_EQ(Label2(), L"文件夹已不存在：" + d + L"new folder");
    EXPECT_FALSE(page.Watching());
    page.Command8_Click();
    EXPECT_EQ(Label2(), desktop);
    EXPECT_EQ(Names(), (Texts{L"a.txt", L"b.txt", L"c.txt"}));
    EXPECT_TRUE(page.Watching());
}

TEST_F(LiveViewTest, TheEndDuringWalksWaitsForNoneAndLeavesNothingBehind) {
    for (int i = 0; i < 20; ++i) {
        std::wstring sub = Folder(L"桌面\\f" + std::to_wstring(i)) + L"\\";
        for (int j = 0; j < 100; ++j)
            File(sub + std::to_wstring(j), 1);
    }
    page.StartUp(paths);
    EXPECT_TRUE(page.SizesPending());
    // The window goes first, then the page with its walker and its watch.
    DestroyWindow(window);
    window = nullptr;
    owned.reset();
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, browser::WM_FOLDER_SIZE, browser::WM_FOLDER_SIZE, PM_REMOVE));
}

TEST_F(LiveViewTest, SubfoldersDeletedByAnotherProgramLeaveTheListAndTheDiskAndThenNothingRuns) {
    File(Folder(L"桌面\\full") + L"\\inside.bin", 3000);
    Folder(L"桌面\\empty");
    Folder(L"桌面\\stays");
    page.StartUp(paths);
    Settle();
    ASSERT_EQ(Names(), (Texts{L"empty", L"full", L"stays"}));
    // Another program deletes both, the way a user's shell would; the watch holds no subfolder open.
    std::wstring line = L"rd /s /q \"" + desktop + L"\\full\" && rd \"" + desktop + L"\\empty\"";
    ASSERT_EQ(_wspawnlp(_P_WAIT, L"cmd.exe", L"cmd.exe", L"/c", line.c_str(), nullptr), 0);
    EXPECT_TRUE(Pump([&] { return Names() == Texts{L"stays"}; })) << testing::PrintToString(Names());
    for (const wchar_t* gone : {L"\\full", L"\\empty"})
        EXPECT_EQ(GetFileAttributesW((desktop + gone).c_str()), INVALID_FILE_ATTRIBUTES) << gone;
    // Once the changes are in, no timer of the live view is left running.
    Settle();
    EXPECT_FALSE(KillTimer(page.hwnd(), browser::LiveViewTimer));
}

TEST_F(LiveViewTest, AStormOfChangesEndsWithExactlyTheFolderOnceEach) {
    page.StartUp(paths);
    Settle();
    // Made, then half renamed and a quarter deleted, as fast as they go: batches far too big to look up
    // name by name, and names that come and go between two readings of the folder.
    const std::wstring d = desktop + L"\\";
    for (int i = 0; i < 2000; ++i)
        File(d + L"s" + std::to_wstring(i) + L".dat", 0);
    for (int i = 0; i < 1000; ++i)
        MoveFileW((d + L"s" + std::to_wstring(i) + L".dat").c_str(),
                  (d + L"r" + std::to_wstring(i) + L".dat").c_str());
    for (int i = 1000; i < 1500; ++i)
        DeleteFileW((d + L"s" + std::to_wstring(i) + L".dat").c_str());
    Texts expected;
    for (int i = 0; i < 2000; ++i)
        if (i < 1000 || i >= 1500)
            expected.push_back((i < 1000 ? L"r" : L"s") + std::to_wstring(i) + L".dat");
    std::sort(expected.begin(), expected.end());
    auto shown = [&] {
        Texts names = Names();
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_TRUE(Pump([&] { return shown() == expected; }, 30000)) << shown().size() << " rows";
}

TEST_F(LiveViewTest, HiddenInTheTrayTheChangesWaitAndShowWhenTheWindowComesBack) {
    File(desktop + L"\\a.txt", 1);
    page.StartUp(paths);
    Settle();
    page.SetWindowShown(false);
    File(desktop + L"\\b.txt", 1);
    DeleteFileW((desktop + L"\\a.txt").c_str());
    Pump([] { return false; }, 1500); // the watch sees both; the page does nothing with them
    EXPECT_EQ(Names(), Texts{L"a.txt"});
    EXPECT_FALSE(KillTimer(page.hwnd(), browser::LiveViewTimer));
    page.SetWindowShown(true);
    EXPECT_TRUE(Pump([&] { return Names() == Texts{L"b.txt"}; })) << testing::PrintToString(Names());
}

TEST_F(LiveViewTest, RowsComingBeforeTheFirstKeepAScrolledListsTopRowAndLeaveAListAtItsTopThere) {
    const std::wstring d = desktop + L"\\";
    for (int i = 100; i < 180; ++i)
        File(d + L"m" + std::to_wstring(i) + L".dat", 1);
    page.StartUp(paths);
    Settle();
    HWND list = page.ListView1;
    auto top = [&] { return page.Rows()[static_cast<size_t>(ListView_GetTopIndex(list))].Text; };
    RECT r{};
    ASSERT_TRUE(ListView_GetItemRect(list, 0, &r, LVIR_BOUNDS));
    ListView_Scroll(list, 0, 30 * (r.bottom - r.top));
    const std::wstring kept = top();
    ASSERT_NE(kept, L"m100.dat");
    for (int i = 0; i < 10; ++i)
        File(d + L"a" + std::to_wstring(i) + L".dat", 1);
    EXPECT_TRUE(Pump([&] { return page.Rows().size() == 90 && top() == kept; })) << top();

    ListView_EnsureVisible(list, 0, FALSE);
    File(d + L"0.dat", 1);
    ASSERT_TRUE(Pump([&] { return page.Rows().size() == 91; }));
    Pump([] { return false; }, 300); // a step left to come would scroll now
    EXPECT_EQ(ListView_GetTopIndex(list), 0);
    EXPECT_EQ(top(), L"0.dat");
}
