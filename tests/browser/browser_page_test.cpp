// The folder browser in a window of its own, over made folder trees: the listing, going in and back,
// special folders, sorting, and what a user sees in the list control.
#include "fileinfo/file_text.h"
#include "res/resource.h"
#include "tests/browser/browser_page_fixture.h"

using browser::BrowserRow;

namespace {

void SetModified(const std::wstring& path, WORD year, WORD month, WORD day, WORD hour) {
    SYSTEMTIME local{year, month, 0, day, hour, 30, 15, 0};
    FILETIME lt, utc;
    SystemTimeToFileTime(&local, &lt);
    LocalFileTimeToFileTime(&lt, &utc);
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
}

class BrowserPageTest : public test::PageFixture {
  protected:
    const BrowserRow& Row(const std::wstring& name) const {
        for (const BrowserRow& row : page.Rows())
            if (row.Text == name) return row;
        static BrowserRow none;
        ADD_FAILURE() << "no row " << testing::PrintToString(name);
        return none;
    }
    // What the list control shows in row `row`, column `column`.
    std::wstring Shown(int row, int column) const {
        wchar_t text[300] = L"";
        ListView_GetItemText(page.ListView1, row, column, text, 300);
        return text;
    }
    void Notify(UINT code, int subItem = 0) {
        NMLISTVIEW nm{};
        nm.hdr = {page.ListView1, ui::IDC_ListView1, code};
        nm.iItem = -1;
        nm.iSubItem = subItem;
        SendMessageW(page.hwnd(), WM_NOTIFY, ui::IDC_ListView1, reinterpret_cast<LPARAM>(&nm));
    }
    std::wstring Combo1() const { return platform::GetText(page.Combo1); }
    bool BackEnabled() const { return IsWindowEnabled(page.Command8); }
    std::vector<std::wstring> History() const { return page.List1().Entries(); }
};

} // namespace

TEST_F(BrowserPageTest, StartUpListsTheDesktopFoldersFirstWithSizesTypesDatesAndIcons) {
    std::wstring b = Folder(L"桌面\\b 照片");
    File(b + L"\\one.bin", 1000);
    Folder(L"桌面\\b 照片\\深处");
    File(b + L"\\深处\\two.bin", 1048576 - 1000); // 1,048,576 bytes in all
    Folder(L"桌面\\A 空");
    std::wstring hiddenFolder = Folder(L"桌面\\隐藏");
    SetFileAttributesW(hiddenFolder.c_str(), FILE_ATTRIBUTE_HIDDEN);
    File(desktop + L"\\z.txt", 512);
    File(desktop + L"\\Y.TXT", 1536);
    File(desktop + L"\\x", 0);
    File(desktop + L"\\系统.dat", 1);
    SetFileAttributesW((desktop + L"\\系统.dat").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetModified(desktop + L"\\z.txt", 2004, 6, 21, 21);
    SetModified(b, 2010, 1, 2, 3);
    // A 5 GiB file, sparse on the disk.
    HANDLE big = CreateFileW((desktop + L"\\大文件.iso").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = 5LL << 30;
    SetFilePointerEx(big, end, nullptr, FILE_BEGIN);
    SetEndOfFile(big);
    CloseHandle(big);

    page.StartUp(paths);
    WaitForSizes();
    EXPECT_EQ(Names(),
              (std::vector<std::wstring>{L"A 空", L"b 照片", L"x", L"Y.TXT", L"z.txt", L"大文件.iso"}));
    EXPECT_EQ(Row(L"b 照片").Key, b);
    EXPECT_EQ(Row(L"b 照片").Size, L"1,048.58");
    EXPECT_EQ(Row(L"b 照片").Type, L"文件夹");
    EXPECT_EQ(Row(L"b 照片").Date, L"2010-01-02 03:30:15");
    EXPECT_EQ(Row(L"A 空").Size, L"0.00");
    EXPECT_EQ(Row(L"z.txt").Key, desktop + L"\\z.txt");
    EXPECT_EQ(Row(L"z.txt").Size, L"0.50");
    EXPECT_EQ(Row(L"z.txt").Date, L"2004-06-21 21:30:15");
    EXPECT_EQ(Row(L"Y.TXT").Size, L"1.50");
    EXPECT_EQ(Row(L"大文件.iso").Size, L"5,242,880.00");
    EXPECT_EQ(Row(L"x").Size, L"0.00");
    // Types come from the shell, once per extension whatever its letter case.
    EXPECT_EQ(Row(L"z.txt").Type, Row(L"Y.TXT").Type);
    EXPECT_FALSE(Row(L"x").Type.empty());
    EXPECT_FALSE(Row(L"z.txt").IsFolder());
    // One icon per type: the two folders and the two text files share theirs.
    EXPECT_GT(Row(L"A 空").Image, 0);
    EXPECT_EQ(Row(L"A 空").Image, Row(L"b 照片").Image);
    EXPECT_EQ(Row(L"z.txt").Image, Row(L"Y.TXT").Image);
    EXPECT_NE(Row(L"z.txt").Image, Row(L"A 空").Image);

    // The list shows the rows, and the browser's state is the desktop's.
    ASSERT_EQ(ListView_GetItemCount(page.ListView1), 6);
    EXPECT_EQ(Shown(1, 0), L"b 照片");
    EXPECT_EQ(Shown(1, 1), L"1,048.58");
    EXPECT_EQ(Shown(1, 2), L"文件夹");
    EXPECT_EQ(Shown(5, 3), Row(L"大文件.iso").Date);
    EXPECT_EQ(Label2(), desktop);
    EXPECT_EQ(Combo1(), L"桌面");
    EXPECT_EQ(History(), std::vector<std::wstring>{desktop});
    EXPECT_FALSE(BackEnabled());
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(page.Dir1List(1), b);
    EXPECT_EQ(page.File2List(0), L"x");

    // Several rows can be selected.
    Select(L"x");
    ListView_SetItemState(page.ListView1, 4, LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_EQ(page.SelectedRows().size(), 2u);
    EXPECT_EQ(page.SelectedItem()->Text, L"x");
    DeleteFileW((desktop + L"\\大文件.iso").c_str());
}

TEST_F(BrowserPageTest, EnteringGoingBackAndVanishedFolders) {
    std::wstring a = Folder(L"桌面\\A");
    std::wstring ab = Folder(L"桌面\\A\\B");
    File(ab + L"\\in b.txt", 10);
    std::wstring gone = Folder(L"桌面\\gone");
    File(desktop + L"\\file.txt", 10);
    page.StartUp(paths);

    Select(L"A");
    Notify(NM_DBLCLK); // a double-click on a folder row goes into it
    EXPECT_EQ(page.CurrentFolder(), a);
    EXPECT_EQ(Label2(), a);
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"B"});
    EXPECT_TRUE(BackEnabled());
    Select(L"B");
    page.EnterSelectedFolder();
    EXPECT_EQ(History(), (std::vector<std::wstring>{desktop, a, ab}));
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"in b.txt"});
    // "打开文件夹" on a file row does nothing.
    Select(L"in b.txt");
    page.EnterSelectedFolder();
    EXPECT_EQ(page.CurrentFolder(), ab);

    page.Command8_Click();
    EXPECT_EQ(page.CurrentFolder(), a);
    EXPECT_EQ(History(), (std::vector<std::wstring>{desktop, a}));
    page.Command8_Click();
    EXPECT_EQ(page.CurrentFolder(), desktop);
    EXPECT_EQ(Label2(), desktop);
    EXPECT_TRUE(BackEnabled());
    page.Command8_Click();
    EXPECT_FALSE(BackEnabled());
    EXPECT_EQ(page.CurrentFolder(), desktop);
    EXPECT_EQ(History(), std::vector<std::wstring>{desktop});

    // A folder removed after the listing: the list is read again, the history stays.
    // (Wait for the size walks first: a folder still being walked is only marked for deletion.)
    WaitForSizes();
    Select(L"gone");
    RemoveDirectoryW(gone.c_str());
    page.EnterSelectedFolder();
    EXPECT_EQ(page.CurrentFolder(), desktop);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A", L"file.txt"}));
    EXPECT_EQ(History(), std::vector<std::wstring>{desktop});
    // The same for a file opened after it was deleted: nothing is opened.
    Select(L"file.txt");
    DeleteFileW((desktop + L"\\file.txt").c_str());
    Notify(NM_DBLCLK);
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"A"});

    // Going back to a folder deleted meanwhile: a message, and everything stays.
    Select(L"A");
    page.EnterSelectedFolder();
    Select(L"B");
    page.EnterSelectedFolder();
    std::wstring c = Folder(L"桌面\\A\\B\\C");
    page.RefreshBrowser();
    Select(L"C");
    page.EnterSelectedFolder();
    // The folder on show vanishes too. A size walk of it, started when its parent was shown and left
    // behind, may still hold it for a moment; another program's delete then fails, and is tried again.
    ASSERT_TRUE(Pump([&] {
        return RemoveDirectoryW(c.c_str()) || GetLastError() != ERROR_SHARING_VIOLATION;
    })) << "still held";
    ASSERT_EQ(GetFileAttributesW(c.c_str()), INVALID_FILE_ATTRIBUTES);
    // The live view lets go of it (some systems keep a deleted folder while a handle is open) and says so.
    Pump([&] { return Label2().find(L"文件夹已不存在：") == 0; });
    EXPECT_EQ(Label2(), L"文件夹已不存在：" + c);
    EXPECT_TRUE(page.Rows().empty());
    test::RemoveTree(a);
    page.Command8_Click();
    EXPECT_EQ(page.CurrentFolder(), c);
    EXPECT_EQ(History(), (std::vector<std::wstring>{desktop, a, ab, c}));
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find(ab), std::wstring::npos);
    EXPECT_NE(boxes.Texts()[0].find(L"不存在"), std::wstring::npos);
}

TEST_F(BrowserPageTest, SpecialFoldersFromTheSelectorAndTheTray) {
    std::wstring sub = Folder(L"System32\\drivers");
    page.StartUp(paths);

    EXPECT_TRUE(page.OnCommand(ID_menu系统目录, 0, nullptr));
    EXPECT_EQ(host.broughtUp, 1);
    EXPECT_EQ(host.tabShown, 1);
    EXPECT_EQ(Combo1(), L"系统目录");
    EXPECT_EQ(page.CurrentFolder(), paths.System);
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"drivers"});
    Select(L"drivers");
    page.EnterSelectedFolder();
    // The tray item for the folder already chosen leaves the browser in its subfolder.
    page.ShowSpecialFolder(L"系统目录");
    EXPECT_EQ(host.broughtUp, 2);
    EXPECT_EQ(page.CurrentFolder(), sub);
    EXPECT_EQ(History(), (std::vector<std::wstring>{paths.System, sub}));

    // Choosing in the selector starts the history again and leaves the back button as it was.
    SendMessageW(page.Combo1, CB_SETCURSEL, 3, 0);
    page.OnCommand(ui::IDC_Combo1, CBN_SELCHANGE, page.Combo1);
    EXPECT_EQ(page.CurrentFolder(), paths.Documents);
    EXPECT_EQ(Label2(), paths.Documents);
    EXPECT_EQ(History(), std::vector<std::wstring>{paths.Documents});
    EXPECT_TRUE(BackEnabled());

    // A special folder with no path, or one that names no folder: a message, and nothing changes.
    paths.Temp.clear();
    paths.BrowserCache = temp.path() + L"\\no such cache";
    for (int command : {ID_menu系统缓存, ID_menu浏览器缓存}) {
        page.OnCommand(command, 0, nullptr);
        EXPECT_EQ(Combo1(), L"我的文档");
        EXPECT_EQ(page.CurrentFolder(), paths.Documents);
        EXPECT_EQ(History(), std::vector<std::wstring>{paths.Documents});
    }
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_NE(boxes.Texts()[0].find(L"系统缓存"), std::wstring::npos);
    EXPECT_NE(boxes.Texts()[1].find(paths.BrowserCache), std::wstring::npos);
}

TEST_F(BrowserPageTest, StartUpWithoutADesktopIsQuietAndEmpty) {
    paths.Desktop = temp.path() + L"\\no desktop";
    page.StartUp(paths);
    EXPECT_TRUE(page.Rows().empty());
    EXPECT_EQ(Combo1(), L"桌面");
    EXPECT_TRUE(boxes.Texts().empty());
    page.ShowSpecialFolder(L"我的文档");
    EXPECT_EQ(page.CurrentFolder(), paths.Documents);
}

TEST_F(BrowserPageTest, SortingBySizeValueNameAndTimeKeepsTheSelection) {
    File(desktop + L"\\b.txt", 9728);    // 9.50
    File(desktop + L"\\a.txt", 1048576); // 1,024.00
    File(desktop + L"\\c.txt", 10240);   // 10.00
    SetModified(desktop + L"\\a.txt", 2004, 10, 1, 9);
    SetModified(desktop + L"\\b.txt", 2004, 9, 1, 9);
    SetModified(desktop + L"\\c.txt", 2004, 10, 1, 10);
    Folder(L"桌面\\d");
    page.StartUp(paths);
    WaitForSizes();
    Select(L"c.txt");

    page.ListView1_ColumnClick(2); // descending by value after the ascending start
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.txt", L"c.txt", L"b.txt", L"d"}));
    EXPECT_EQ(page.SelectedItem()->Text, L"c.txt");
    EXPECT_EQ(ListView_GetNextItem(page.ListView1, -1, LVNI_SELECTED), 1);
    Notify(LVN_COLUMNCLICK, 1); // a real header click
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"d", L"b.txt", L"c.txt", L"a.txt"}));
    EXPECT_EQ(Shown(3, 1), L"1,024.00");
    // After a size sort, 名称 starts ascending; the time column sorts oldest first.
    page.ListView1_ColumnClick(1);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.txt", L"d"}));
    page.ListView1_ColumnClick(1);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"d", L"c.txt", L"b.txt", L"a.txt"}));
    page.ListView1_ColumnClick(4);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"b.txt", L"a.txt", L"c.txt", L"d"}));
    EXPECT_EQ(page.SelectedItem()->Text, L"c.txt");
    EXPECT_EQ(page.SelectedRows().size(), 1u);
}

TEST_F(BrowserPageTest, FoldersBeyond260CharactersAreListedAndEntered) {
    std::wstring deep = desktop;
    std::wstring first;
    while (deep.size() < 320) {
        deep += L"\\" + std::wstring(50, L'长');
        if (first.empty()) first = deep;
        ASSERT_TRUE(CreateDirectoryW(fileinfo::ExtendedLengthPath(deep).c_str(), nullptr));
    }
    test::TempFolder::Write(fileinfo::ExtendedLengthPath(deep + L"\\end.txt"), "12345");
    page.StartUp(paths);
    WaitForSizes();
    ASSERT_EQ(page.Rows().size(), 1u);
    EXPECT_EQ(page.Rows()[0].Size, L"0.01");
    for (std::wstring folder = first;; folder += L"\\" + std::wstring(50, L'长')) {
        ASSERT_EQ(page.Rows().size(), 1u) << folder.size();
        Select(page.Rows()[0].Text);
        page.EnterSelectedFolder();
        ASSERT_EQ(page.CurrentFolder(), folder);
        if (folder == deep) break;
    }
    EXPECT_GT(page.CurrentFolder().size(), 300u);
    ASSERT_EQ(page.Rows().size(), 1u);
    EXPECT_EQ(page.Rows()[0].Key, deep + L"\\end.txt");
    EXPECT_EQ(page.Rows()[0].Size, L"0.00");
    DeleteFileW(fileinfo::ExtendedLengthPath(deep + L"\\end.txt").c_str());
    for (; deep.size() > desktop.size(); deep.resize(deep.rfind(L'\\')))
        RemoveDirectoryW(fileinfo::ExtendedLengthPath(deep).c_str());
}

// ---- the popup menu and the file operations ----------------------------------------------------

namespace {

class BrowserMenuTest : public BrowserPageTest {
  protected:
    void SetUp() override {
        BrowserPageTest::SetUp();
        Folder(L"桌面\\相册");
        File(desktop + L"\\相册\\1.jpg", 10);
        File(desktop + L"\\说明.txt", 20);
        File(desktop + L"\\清单.txt", 30);
        target = Folder(L"目标");
        page.StartUp(paths);
    }
    void SelectAll(std::initializer_list<const wchar_t*> names) {
        ListView_SetItemState(page.ListView1, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (const wchar_t* name : names)
            for (size_t i = 0; i < page.Rows().size(); ++i)
                if (page.Rows()[i].Text == name)
                    ListView_SetItemState(page.ListView1, static_cast<int>(i), LVIS_SELECTED, LVIS_SELECTED);
    }
    bool Enabled(UINT id) const { return !(GetMenuState(page.LV, id, MF_BYCOMMAND) & MF_GRAYED); }
    static bool Exists(const std::wstring& path) {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::wstring target;
};

} // namespace

TEST_F(BrowserMenuTest, TheOpenItemsFollowTheSelectedRowsType) {
    Select(L"相册");
    page.SetLvMenuState();
    EXPECT_FALSE(Enabled(ID_menu打开文件));
    EXPECT_TRUE(Enabled(ID_menu打开文件夹));
    EXPECT_TRUE(Enabled(ID_menu用资源管理器打开));
    Select(L"说明.txt");
    page.SetLvMenuState();
    EXPECT_TRUE(Enabled(ID_menu打开文件));
    EXPECT_FALSE(Enabled(ID_menu打开文件夹));
    EXPECT_FALSE(Enabled(ID_menu用资源管理器打开));
    for (UINT id : {ID_LV刷新, ID_menu复制到, ID_menu移动到, ID_menu删除, ID_menu删除到回收站,
                    ID_隐藏桌面图标dfdsfds, ID_dfdsds显示桌面图标})
        EXPECT_TRUE(Enabled(id)) << id;

    // An empty folder: nothing to open, and the operations do nothing, without asking for a folder.
    page.ShowSpecialFolder(L"系统缓存");
    ASSERT_TRUE(page.Rows().empty());
    page.SetLvMenuState();
    EXPECT_FALSE(Enabled(ID_menu打开文件));
    EXPECT_FALSE(Enabled(ID_menu打开文件夹));
    page.CopySelectedTo();
    page.MoveSelectedTo();
    page.DeleteSelected();
    page.RecycleSelected();
    EXPECT_EQ(host.folderChoices, 0);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(BrowserMenuTest, CopyAndMoveTakeTheSelectionIntoTheChosenFolder) {
    SelectAll({L"相册", L"说明.txt"});
    page.CopySelectedTo(); // cancelled
    EXPECT_EQ(host.folderChoices, 1);
    EXPECT_FALSE(Exists(target + L"\\说明.txt"));

    host.chosenFolder = target + L"\\";
    page.OnCommand(ID_menu复制到, 0, nullptr);
    EXPECT_TRUE(Exists(target + L"\\相册\\1.jpg"));
    EXPECT_TRUE(Exists(target + L"\\说明.txt"));
    EXPECT_FALSE(Exists(target + L"\\清单.txt"));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"相册", L"清单.txt", L"说明.txt"}));

    // The copies now take the names: a move of the same rows refuses both and says why, once.
    File(desktop + L"\\新.txt", 5);
    page.RefreshBrowser();
    SelectAll({L"相册", L"说明.txt", L"新.txt"});
    page.OnCommand(ID_menu移动到, 0, nullptr);
    EXPECT_TRUE(Exists(target + L"\\新.txt"));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"相册", L"清单.txt", L"说明.txt"}))
        << "the list is rebuilt";
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find(L"以下 2 项未能移动"), std::wstring::npos);
    EXPECT_NE(boxes.Texts()[0].find(desktop + L"\\说明.txt"), std::wstring::npos);
}

TEST_F(BrowserMenuTest, DeleteTakesEverySelectedRowAndRecycleOnlyTheFiles) {
    SelectAll({L"相册", L"清单.txt"});
    page.OnCommand(ID_menu删除, 0, nullptr);
    EXPECT_FALSE(Exists(desktop + L"\\相册"));
    EXPECT_FALSE(Exists(desktop + L"\\清单.txt"));
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"说明.txt"});

    Folder(L"桌面\\留下");
    File(desktop + L"\\另一个.txt", 5);
    page.RefreshBrowser();
    int questions = 0;
    test::MessageBoxes shell([&](HWND dialog) {
        ++questions;
        PostMessageW(dialog, WM_COMMAND, IDYES, 0);
    });
    SelectAll({L"留下", L"另一个.txt", L"说明.txt"});
    page.OnCommand(ID_menu删除到回收站, 0, nullptr);
    EXPECT_EQ(questions, 2) << "one question per file; the folder row is skipped";
    EXPECT_FALSE(Exists(desktop + L"\\说明.txt"));
    EXPECT_FALSE(Exists(desktop + L"\\另一个.txt"));
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"留下"});
}
