// The folder list as a file view: keys pressed by SendInput through a message loop like the program's,
// renaming in place on real files, the clipboard with another program pasting, drops through IDropTarget.
#include "browser/browser_page.h"
#include "browser/file_clipboard.h"
#include "tests/support/message_boxes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/user_input.h"

#include <algorithm>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <tuple>

namespace {

struct Host : browser::BrowserHost {
    void BringUpMainWindow() override {}
    void ShowBrowserTab() override {}
    std::wstring BrowseForFolder() override { return {}; }
};

class ListKeysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        OleInitialize(nullptr);
        window = CreateWindowW(L"STATIC", L"Tavolin", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 500,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(page.Build(window, ui::IDC_Page0, nullptr, 96));
        page.FinishBuild();
        SetWindowPos(page.hwnd(), nullptr, 0, 0, 780, 460, SWP_NOZORDER | SWP_SHOWWINDOW);
        page.Layout(11000, 6500, 96);
        desktop = temp.path() + L"\\桌面", away = temp.path() + L"\\别处", album = desktop + L"\\相册";
        for (auto* f : {&desktop, &away, &album})
            CreateDirectoryW(f->c_str(), nullptr);
        paths.Desktop = paths.Windows = paths.System = paths.Documents = paths.BrowserCache = paths.Temp =
            desktop;
        for (auto* f : {L"相册\\1.jpg", L"a.txt", L"b.txt"})
            test::TempFolder::Write(Here(f), "x");
        page.StartUp(paths);
        SetForegroundWindow(window);
    }
    void TearDown() override { DestroyWindow(window), OleUninitialize(); }
    static bool Exists(const std::wstring& p) {
        return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    std::wstring Here(const std::wstring& name) const { return desktop + L"\\" + name; }
    int Index(const std::wstring& name) const {
        auto row = std::ranges::find(page.Rows(), name, &browser::BrowserRow::Text);
        return row == page.Rows().end() ? -1 : static_cast<int>(row - page.Rows().begin());
    }
    // Selects the rows named, if any, in the focused list, and presses `keys`.
    void Press(const std::vector<WORD>& keys, const std::vector<const wchar_t*>& names = {}) {
        if (names.size()) ListView_SetItemState(page.ListView1, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (const wchar_t* name : names)
            ListView_SetItemState(page.ListView1, Index(name), LVIS_SELECTED | LVIS_FOCUSED, 0xF);
        if (names.size()) SetFocus(page.ListView1);
        test::PressKeysAndPump(window, keys);
    }

    test::TempFolder temp;
    int shellQuestions = 0;
    test::MessageBoxes boxes{
        [this](HWND dialog) { ++shellQuestions, PostMessageW(dialog, WM_COMMAND, IDYES, 0); }};
    HWND window = nullptr;
    Host host;
    browser::BrowserPage page{host};
    core::FolderPaths paths;
    std::wstring desktop, away, album;
};

TEST_F(ListKeysTest, KeysOpenGoBackRefreshSelectAndDelete) {
    std::tuple<std::vector<WORD>, std::vector<const wchar_t*>, std::wstring> steps[] = {
        {{VK_RETURN}, {L"相册"}, album}, {{VK_BACK}, {}, desktop},
        {{VK_BACK}, {}, desktop}, // disabled now, as the back button
        {{VK_RETURN}, {L"相册"}, album}, {{VK_MENU, VK_LEFT}, {}, desktop},
    };
    for (const auto& [keys, rows, folder] : steps) {
        Press(keys, rows);
        EXPECT_EQ(page.CurrentFolder(), folder) << "key " << keys.back();
    }
    test::TempFolder::Write(Here(L"c.txt"), "new");
    Press({VK_F5}, {L"a.txt"});
    Press({VK_CONTROL, 'A'});
    EXPECT_EQ(page.SelectedRows().size(), 4u) << "F5 found c.txt, Ctrl+A took all";

    Press({VK_SHIFT, VK_DELETE}, {L"a.txt", L"b.txt"});
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find(L"确实要永久删除这 2 项吗"), std::wstring::npos);
    EXPECT_FALSE(Exists(Here(L"a.txt")) || Exists(Here(L"b.txt")));
    EXPECT_EQ(GetFocus(), page.ListView1) << "the keys go on to the list after the question";
    Press({VK_DELETE}, {L"相册", L"c.txt"});
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
        Press({VK_F2}, {c.row});
        HWND edit = ListView_GetEditControl(page.ListView1);
        LRESULT sel = SendMessageW(edit, EM_GETSEL, 0, 0);
        EXPECT_EQ(size_t{HIWORD(sel)} - LOWORD(sel), std::min(std::wstring(c.row).rfind(L'.'), wcslen(c.row)))
            << "the name without its extension";
        SetWindowTextW(edit, c.typed);
        Press({VK_RETURN});
        test::Pump(window, c.refusal ? 2000 : 300, [&] { return !boxes.Texts().empty(); });
        EXPECT_EQ(boxes.Texts().size(), c.refusal ? 1u : 0u);
        for (const std::wstring& text : boxes.Texts())
            EXPECT_NE(text.find(c.refusal), std::wstring::npos);
        std::wstring now = c.refusal ? c.row : c.typed;
        EXPECT_EQ(page.Rows().at(row).Text, now) << "in its place";
        EXPECT_TRUE(Exists(Here(now)));
        EXPECT_EQ(GetFocus(), page.ListView1);
    }
    // Escape keeps the name, even from an emptied editor.
    Press({VK_F2}, {L"b.txt"});
    SetWindowTextW(ListView_GetEditControl(page.ListView1), L"");
    Press({VK_ESCAPE});
    EXPECT_TRUE(boxes.Texts().empty() && Exists(Here(L"b.txt")) && Exists(Here(L"照片\\1.jpg")));
}

TEST_F(ListKeysTest, PastesNameCopiesLikeExplorerAndACutMoves) {
    Press({VK_CONTROL, 'C'}, {L"a.txt", L"相册"});
    Press({VK_CONTROL, 'V'});
    Press({VK_CONTROL, 'V'});
    for (const wchar_t* name :
         {L"a - 副本.txt", L"a - 副本 (2).txt", L"相册 - 副本\\1.jpg", L"相册 - 副本 (2)"})
        EXPECT_TRUE(Exists(Here(name))) << testing::PrintToString(std::wstring(name));

    // Cut elsewhere: pasted here it moves and leaves the clipboard.
    test::TempFolder::Write(away + L"\\下载.bin", "data");
    ASSERT_TRUE(browser::PutFilesOnClipboard(window, {away + L"\\下载.bin"}, true));
    SetFocus(page.ListView1);
    Press({VK_CONTROL, 'V'});
    EXPECT_TRUE(Exists(Here(L"下载.bin")) && !Exists(away + L"\\下载.bin"));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_HDROP));

    // Cut here: another program pasting moves it.
    Press({VK_CONTROL, 'X'}, {L"b.txt"});
    ASSERT_EQ(test::PasteElsewhere(away), 0u);
    EXPECT_TRUE(Exists(away + L"\\b.txt") && !Exists(Here(L"b.txt")));
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ListKeysTest, DropsThroughTheListsDropTarget) {
    ASSERT_TRUE(page.ListDropTarget());
    RECT r{LVIR_BOUNDS};
    ListView_GetItemRect(page.ListView1, Index(L"相册"), &r, LVIR_BOUNDS);
    POINT at[] = {{r.left + 10, r.bottom + 200}, {r.left + 10, (r.top + r.bottom) / 2}}; // below, on 相册
    MapWindowPoints(page.ListView1, nullptr, at, 2);
    std::wstring onZ = L"Z:\\tmp\\tavolin-drop-" + std::to_wstring(GetCurrentProcessId());
    // A move takes the file away, a copy leaves it; either puts it into the folder it was dropped on.
    std::tuple<std::wstring, bool, DWORD, DWORD> cases[] = {
        {away + L"\\1.txt", false, 0, DROPEFFECT_MOVE}, // the same drive
        {away + L"\\2.txt", false, MK_CONTROL, DROPEFFECT_COPY},
        {away + L"\\3.txt", true, 0, DROPEFFECT_MOVE},
        {onZ, false, 0, DROPEFFECT_COPY},            // Z: is another drive
        {Here(L"a.txt"), false, 0, DROPEFFECT_NONE}, // onto its own folder
        {album, true, MK_CONTROL, DROPEFFECT_NONE},  // onto itself
    };
    for (const auto& [file, onIt, keys, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(file));
        if (!Exists(file)) test::TempFolder::Write(file, "x");
        Microsoft::WRL::ComPtr<IDataObject> data = platform::ShellDataObject({file});
        DWORD over = DROPEFFECT_COPY | DROPEFFECT_MOVE, effect = over;
        if (data) page.ListDropTarget()->DragEnter(data.Get(), keys, {at[onIt].x, at[onIt].y}, &over);
        if (data) page.ListDropTarget()->Drop(data.Get(), keys, {at[onIt].x, at[onIt].y}, &effect);
        EXPECT_EQ(effect, expected);
        EXPECT_EQ(over, effect) << "the drag showed what the drop does";
        EXPECT_EQ(Exists(file), expected != DROPEFFECT_MOVE);
        EXPECT_TRUE(!expected || Exists((onIt ? album : desktop) + file.substr(file.rfind(L'\\'))));
    }
    DeleteFileW(onZ.c_str());
    EXPECT_TRUE(boxes.Texts().empty());
}

} // namespace
