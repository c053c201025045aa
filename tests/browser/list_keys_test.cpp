// The folder list as a file view: keys as a user presses them (SendInput to the focused list, through
// a message loop like the program's), renaming in place against real files, the clipboard with another
// program pasting, and drops through the list's IDropTarget with the shell's data object.
#include "browser/browser_page.h"
#include "browser/file_clipboard.h"
#include "tests/support/message_boxes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/user_input.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

namespace {

struct Host : browser::BrowserHost {
    void BringUpMainWindow() override {}
    void ShowBrowserTab() override {}
    std::wstring BrowseForFolder() override { return {}; }
};

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ListKeysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        OleInitialize(nullptr);
        window = CreateWindowW(L"STATIC", L"Tavolin", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 500,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(page.Build(window, ui::IDC_Page0, nullptr, 96));
        SetWindowPos(page.hwnd(), nullptr, 0, 0, 780, 460, SWP_NOZORDER | SWP_SHOWWINDOW);
        page.Layout(11000, 6500, 96);
        paths.Desktop = paths.Windows = paths.System = paths.Documents = paths.BrowserCache = paths.Temp =
            desktop = Made(L"桌面");
        test::TempFolder::Write(Made(L"桌面\\相册") + L"\\1.jpg", "x");
        test::TempFolder::Write(desktop + L"\\a.txt", "a");
        test::TempFolder::Write(desktop + L"\\b.txt", "b");
        page.StartUp(paths);
        SetForegroundWindow(window);
    }
    void TearDown() override { DestroyWindow(window), OleUninitialize(); }
    std::wstring Made(const std::wstring& relative) {
        std::wstring f = temp.path() + L"\\" + relative;
        CreateDirectoryW(f.c_str(), nullptr);
        return f;
    }
    int Index(const std::wstring& name) const {
        for (size_t i = 0; i < page.Rows().size(); ++i)
            if (page.Rows()[i].Text == name) return static_cast<int>(i);
        return -1;
    }
    void Select(std::initializer_list<const wchar_t*> names) {
        ListView_SetItemState(page.ListView1, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (const wchar_t* name : names)
            ListView_SetItemState(page.ListView1, Index(name), LVIS_SELECTED | LVIS_FOCUSED, 0xF);
        SetFocus(page.ListView1);
    }
    // The program's kind of message loop, until `done` or `ms` pass.
    bool Pump(const std::function<bool()>& done, DWORD ms = 2000) {
        for (ULONGLONG end = GetTickCount64() + ms; !done() && GetTickCount64() < end; Sleep(10))
            for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
                if (!IsDialogMessageW(window, &msg)) TranslateMessage(&msg), DispatchMessageW(&msg);
        return done();
    }
    void Keys(std::initializer_list<WORD> keys) {
        test::PressKeys(keys);
        Pump([] { return false; }, 300);
    }

    test::TempFolder temp;
    int shellQuestions = 0;
    test::MessageBoxes boxes{
        [this](HWND dialog) { ++shellQuestions, PostMessageW(dialog, WM_COMMAND, IDYES, 0); }};
    HWND window = nullptr;
    Host host;
    browser::BrowserPage page{host};
    core::FolderPaths paths;
    std::wstring desktop;
};

TEST_F(ListKeysTest, KeysOpenGoBackRefreshSelectAndDelete) {
    Select({L"相册"});
    Keys({VK_RETURN});
    EXPECT_EQ(page.CurrentFolder(), desktop + L"\\相册") << "Enter";
    Keys({VK_BACK});
    Keys({VK_BACK}); // disabled now, as the back button
    EXPECT_EQ(page.CurrentFolder(), desktop);
    Select({L"相册"});
    Keys({VK_RETURN});
    Keys({VK_MENU, VK_LEFT});
    EXPECT_EQ(page.CurrentFolder(), desktop) << "Alt+←";

    test::TempFolder::Write(desktop + L"\\c.txt", "new");
    Select({L"a.txt"});
    Keys({VK_F5});
    Keys({VK_CONTROL, 'A'});
    EXPECT_EQ(page.SelectedRows().size(), 4u) << "F5 found c.txt, Ctrl+A took all";

    Select({L"a.txt", L"b.txt"});
    Keys({VK_SHIFT, VK_DELETE});
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find(L"确实要永久删除这 2 项吗"), std::wstring::npos);
    EXPECT_FALSE(Exists(desktop + L"\\a.txt") || Exists(desktop + L"\\b.txt"));
    EXPECT_EQ(GetFocus(), page.ListView1) << "the keys go on to the list after the question";
    Select({L"相册", L"c.txt"});
    Keys({VK_DELETE});
    EXPECT_EQ(shellQuestions, 1) << "one shell operation, folders too";
    EXPECT_TRUE(page.Rows().empty());
}

TEST_F(ListKeysTest, RenameInPlaceRefusesBadNamesAndNeverReplaces) {
    struct {
        const wchar_t *row, *typed, *refusal; // nullptr: renamed
    } cases[] = {
        {L"a.txt", L"", L"不能为空"},      {L"a.txt", L"a?.txt", L"不能包含"},
        {L"a.txt", L"x\ty", L"不能包含"},  {L"a.txt", L"b.txt", L"已有名为"},
        {L"a.txt", L"相册", L"已有名为"},  {L"a.txt", L"LPT3.txt", L"设备名"},
        {L"a.txt", L"con", L"设备名"},     {L"a.txt", L"a.txt.", L"句点或空格"},
        {L"a.txt", L"a ", L"句点或空格"},  {L"a.txt", L"COM10.txt", nullptr},
        {L"COM10.txt", L"A.TXT", nullptr}, {L"A.TXT", L"新 名字.md", nullptr},
        {L"相册", L"照片", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.typed)));
        boxes.Clear();
        int row = Index(c.row);
        std::wstring before = page.Rows().at(static_cast<size_t>(row)).Key;
        Select({c.row});
        Keys({VK_F2});
        HWND edit = ListView_GetEditControl(page.ListView1);
        ASSERT_TRUE(edit);
        DWORD from = 0, to = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        size_t dot = std::wstring(c.row).rfind(L'.');
        EXPECT_EQ(to - from, dot == std::wstring::npos ? wcslen(c.row) : dot)
            << "the name without its extension";
        SetWindowTextW(edit, c.typed);
        Keys({VK_RETURN});
        Pump([&] { return !boxes.Texts().empty(); }, c.refusal ? 2000 : 300);
        EXPECT_EQ(boxes.Texts().size(), c.refusal ? 1u : 0u);
        if (c.refusal && !boxes.Texts().empty()) {
            EXPECT_NE(boxes.Texts()[0].find(c.refusal), std::wstring::npos);
        }
        EXPECT_EQ(page.Rows()[static_cast<size_t>(row)].Text, c.refusal ? c.row : c.typed) << "in its place";
        EXPECT_TRUE(Exists(c.refusal ? before : desktop + L"\\" + c.typed));
        EXPECT_EQ(GetFocus(), page.ListView1);
    }
    EXPECT_TRUE(Exists(desktop + L"\\b.txt") && Exists(desktop + L"\\照片\\1.jpg"));

    // Escape keeps the name, even from an emptied editor.
    Select({L"b.txt"});
    Keys({VK_F2});
    SetWindowTextW(ListView_GetEditControl(page.ListView1), L"");
    Keys({VK_ESCAPE});
    EXPECT_TRUE(boxes.Texts().empty() && Exists(desktop + L"\\b.txt"));
}

TEST_F(ListKeysTest, PastesNameCopiesLikeExplorerAndACutMoves) {
    Select({L"a.txt", L"相册"});
    Keys({VK_CONTROL, 'C'});
    Keys({VK_CONTROL, 'V'});
    Keys({VK_CONTROL, 'V'});
    for (const wchar_t* name :
         {L"a - 副本.txt", L"a - 副本 (2).txt", L"相册 - 副本\\1.jpg", L"相册 - 副本 (2)"})
        EXPECT_TRUE(Exists(desktop + L"\\" + name)) << testing::PrintToString(std::wstring(name));

    // Cut elsewhere: pasted here it moves and leaves the clipboard.
    std::wstring elsewhere = Made(L"别处") + L"\\下载.bin";
    test::TempFolder::Write(elsewhere, "data");
    ASSERT_TRUE(browser::PutFilesOnClipboard(window, {elsewhere}, true));
    SetFocus(page.ListView1);
    Keys({VK_CONTROL, 'V'});
    EXPECT_TRUE(Exists(desktop + L"\\下载.bin") && !Exists(elsewhere));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_HDROP));

    // Cut here: another program pasting moves it.
    Select({L"b.txt"});
    Keys({VK_CONTROL, 'X'});
    ASSERT_EQ(test::PasteElsewhere(temp.path() + L"\\别处"), 0u);
    EXPECT_TRUE(Exists(temp.path() + L"\\别处\\b.txt") && !Exists(desktop + L"\\b.txt"));
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ListKeysTest, DropsThroughTheListsDropTarget) {
    ASSERT_TRUE(page.ListDropTarget());
    RECT r{LVIR_BOUNDS};
    ListView_GetItemRect(page.ListView1, Index(L"相册"), &r, LVIR_BOUNDS);
    POINT onFolder{r.left + 10, (r.top + r.bottom) / 2}, below{r.left + 10, r.bottom + 200};
    ClientToScreen(page.ListView1, &onFolder);
    ClientToScreen(page.ListView1, &below);
    auto drop = [&](const std::wstring& file, POINT at, DWORD keys) {
        Microsoft::WRL::ComPtr<IDataObject> data = platform::ShellDataObject({file});
        DWORD over = DROPEFFECT_COPY | DROPEFFECT_MOVE, effect = over;
        if (!data) return DWORD{0xFF};
        page.ListDropTarget()->DragEnter(data.Get(), keys, {at.x, at.y}, &over);
        page.ListDropTarget()->Drop(data.Get(), keys, {at.x, at.y}, &effect);
        EXPECT_EQ(over, effect) << "the drag showed what the drop does";
        return effect;
    };
    std::wstring away = Made(L"别处"),
                 onZ = L"Z:\\tmp\\tavolin-drop-" + std::to_wstring(GetCurrentProcessId());
    for (const std::wstring& file : {away + L"\\1.txt", away + L"\\2.txt", away + L"\\3.txt", onZ})
        test::TempFolder::Write(file, "x");
    EXPECT_EQ(drop(away + L"\\1.txt", below, 0), DWORD{DROPEFFECT_MOVE}) << "the same drive";
    EXPECT_EQ(drop(away + L"\\2.txt", below, MK_CONTROL), DWORD{DROPEFFECT_COPY});
    EXPECT_EQ(drop(away + L"\\3.txt", onFolder, 0), DWORD{DROPEFFECT_MOVE});
    EXPECT_EQ(drop(onZ, below, 0), DWORD{DROPEFFECT_COPY}) << "Z: is another drive";
    EXPECT_EQ(drop(desktop + L"\\a.txt", below, 0), DWORD{DROPEFFECT_NONE}) << "onto its own folder";
    EXPECT_EQ(drop(desktop + L"\\相册", onFolder, MK_CONTROL), DWORD{DROPEFFECT_NONE}) << "onto itself";
    for (const std::wstring& name :
         std::vector<std::wstring>{L"\\1.txt", L"\\2.txt", L"\\相册\\3.txt", onZ.substr(onZ.rfind(L'\\'))})
        EXPECT_TRUE(Exists(desktop + name)) << testing::PrintToString(name);
    EXPECT_TRUE(Exists(away + L"\\2.txt") && !Exists(away + L"\\1.txt") && Exists(onZ));
    DeleteFileW(onZ.c_str());
    EXPECT_TRUE(boxes.Texts().empty());
}

} // namespace
