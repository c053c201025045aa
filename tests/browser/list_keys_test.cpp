// The folder list as a file view: keys pressed as a user presses them (SendInput to the focused list,
// through a message loop like the program's), renaming in place against real files, the clipboard read
// and written by another program, and drops through the list's IDropTarget.
#include "browser/browser_page.h"
#include "tests/support/message_boxes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/user_input.h"

#include <commctrl.h>
#include <filesystem>
#include <fstream>
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
        desktop = Made(L"桌面");
        paths.Desktop = paths.Windows = paths.System = paths.Documents = paths.BrowserCache = paths.Temp =
            desktop;
        Made(L"桌面\\相册");
        test::TempFolder::Write(desktop + L"\\相册\\1.jpg", "x");
        for (const wchar_t* name : {L"a.txt", L"b.txt"})
            test::TempFolder::Write(desktop + L"\\" + name, "text");
        page.StartUp(paths);
        SetForegroundWindow(window);
    }
    void TearDown() override {
        DestroyWindow(window);
        OleUninitialize();
    }
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
            ListView_SetItemState(page.ListView1, Index(name), LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
        SetFocus(page.ListView1);
    }
    // Runs the program's kind of message loop until `done` holds (or two seconds pass).
    bool Pump(
        const std::function<bool()>& done = [] { return false; }, DWORD ms = 2000) {
        for (ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end;) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                if (!IsDialogMessageW(window, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            if (done()) return true;
            Sleep(10);
        }
        return done();
    }
    void Keys(std::initializer_list<WORD> keys) {
        test::PressKeys(keys);
        Pump([] { return false; }, 300);
    }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (const auto& row : page.Rows())
            names.push_back(row.Text);
        return names;
    }
    test::TempFolder temp;
    test::MessageBoxes boxes{[this](HWND dialog) {
        ++shellQuestions;
        PostMessageW(dialog, WM_COMMAND, IDYES, 0);
    }};
    int shellQuestions = 0;
    HWND window = nullptr;
    Host host;
    browser::BrowserPage page{host};
    core::FolderPaths paths;
    std::wstring desktop;
};

TEST_F(ListKeysTest, KeysOpenGoBackRefreshSelectAndDelete) {
    Select({L"相册"});
    Keys({VK_RETURN});
    EXPECT_EQ(page.CurrentFolder(), desktop + L"\\相册") << "Enter goes into the folder";
    Keys({VK_BACK});
    EXPECT_EQ(page.CurrentFolder(), desktop) << "Backspace goes back";
    Keys({VK_BACK});
    EXPECT_EQ(page.CurrentFolder(), desktop) << "and is disabled with the back button";
    Select({L"相册"});
    Keys({VK_RETURN});
    Keys({VK_MENU, VK_LEFT});
    EXPECT_EQ(page.CurrentFolder(), desktop) << "Alt+← goes back";

    test::TempFolder::Write(desktop + L"\\c.txt", "new");
    Select({L"a.txt"});
    Keys({VK_F5});
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"相册", L"a.txt", L"b.txt", L"c.txt"}));
    SetFocus(page.ListView1);
    Keys({VK_CONTROL, 'A'});
    EXPECT_EQ(page.SelectedRows().size(), 4u);

    Select({L"a.txt", L"b.txt"});
    Keys({VK_SHIFT, VK_DELETE});
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find(L"确实要永久删除这 2 项吗"), std::wstring::npos);
    EXPECT_FALSE(Exists(desktop + L"\\a.txt") || Exists(desktop + L"\\b.txt"));

    Select({L"相册", L"c.txt"});
    Keys({VK_DELETE});
    EXPECT_EQ(shellQuestions, 1) << "one shell operation for files and folders";
    EXPECT_FALSE(Exists(desktop + L"\\相册") || Exists(desktop + L"\\c.txt"));
    EXPECT_TRUE(Names().empty());
}

TEST_F(ListKeysTest, RenameInPlaceRefusesBadNamesAndNeverReplaces) {
    struct Case {
        const wchar_t *row, *typed, *refusal; // refusal: nullptr when the rename is done
    } cases[] = {
        {L"a.txt", L"", L"文件名不能为空"},
        {L"a.txt", L"a?.txt", L"不能包含"},
        {L"a.txt", L"b.txt", L"已有名为“b.txt”"},
        {L"a.txt", L"相册", L"已有名为“相册”"},
        {L"a.txt", L"LPT3.txt", L"设备名"},
        {L"a.txt", L"a.txt.", L"句点或空格结尾"},
        {L"a.txt", L"A.TXT", nullptr},
        {L"A.TXT", L"新 名字.md", nullptr},
        {L"相册", L"照片", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.typed)));
        boxes.Clear();
        int row = Index(c.row);
        ASSERT_GE(row, 0);
        std::wstring before = page.Rows()[static_cast<size_t>(row)].Key;
        Select({c.row});
        Keys({VK_F2});
        HWND edit = ListView_GetEditControl(page.ListView1);
        ASSERT_TRUE(edit);
        DWORD from = 0, to = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(to - from, std::wstring(c.row) == L"相册" ? 2u : std::wstring(c.row).size() - 4);
        SetWindowTextW(edit, c.typed);
        Keys({VK_RETURN});
        Pump([&] { return !boxes.Texts().empty(); }, c.refusal ? 2000 : 300);
        if (c.refusal) {
            ASSERT_EQ(boxes.Texts().size(), 1u);
            EXPECT_NE(boxes.Texts()[0].find(c.refusal), std::wstring::npos)
                << testing::PrintToString(boxes.Texts()[0]);
            EXPECT_EQ(page.Rows()[static_cast<size_t>(row)].Key, before);
            EXPECT_TRUE(Exists(before));
            EXPECT_EQ(GetFocus(), page.ListView1) << "the keys go on to the list";
        } else {
            EXPECT_TRUE(boxes.Texts().empty());
            EXPECT_EQ(page.Rows()[static_cast<size_t>(row)].Text, c.typed) << "the row keeps its place";
            EXPECT_TRUE(Exists(desktop + L"\\" + c.typed));
        }
    }
    std::ifstream kept(std::filesystem::path(desktop + L"\\b.txt"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "text");
    EXPECT_TRUE(Exists(desktop + L"\\照片\\1.jpg"));

    // Escape keeps the name.
    Select({L"b.txt"});
    Keys({VK_F2});
    SetWindowTextW(ListView_GetEditControl(page.ListView1), L"");
    Keys({VK_ESCAPE});
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_TRUE(Exists(desktop + L"\\b.txt"));

    // So does a slow second click on the selected row's name.
    RECT label{LVIR_LABEL};
    ListView_GetItemRect(page.ListView1, Index(L"b.txt"), &label, LVIR_LABEL);
    POINT name{label.left + 8, (label.top + label.bottom) / 2};
    ClientToScreen(page.ListView1, &name);
    Select({});
    test::ClickAt(name);
    Pump([] { return false; }, GetDoubleClickTime() + 300);
    EXPECT_EQ(page.SelectedRows().size(), 1u);
    EXPECT_FALSE(ListView_GetEditControl(page.ListView1)) << "the first click selects";
    test::ClickAt(name);
    EXPECT_TRUE(Pump([&] { return ListView_GetEditControl(page.ListView1) != nullptr; }, 3000));
    Keys({VK_ESCAPE});
}

TEST_F(ListKeysTest, TheClipboardSpeaksTheShellsForm) {
    Select({L"a.txt", L"相册"});
    Keys({VK_CONTROL, 'C'});
    std::wstring out = temp.path() + L"\\clip.txt";
    ASSERT_EQ(test::RunClipPeer(L"read \"" + out + L"\""), 0u);
    std::ifstream raw(std::filesystem::path(out), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(raw)), {});
    std::wstring lines(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    EXPECT_EQ(lines, L"5\n" + desktop + L"\\相册\n" + desktop + L"\\a.txt\n")
        << "copy and link, in list order";

    // Pasted back into its own folder: copies beside the originals, Explorer's names.
    Keys({VK_CONTROL, 'V'});
    Keys({VK_CONTROL, 'V'});
    for (const wchar_t* name :
         {L"a - 副本.txt", L"a - 副本 (2).txt", L"相册 - 副本\\1.jpg", L"相册 - 副本 (2)"})
        EXPECT_TRUE(Exists(desktop + L"\\" + name)) << testing::PrintToString(std::wstring(name));

    // A cut by another program is moved here and leaves the clipboard.
    std::wstring elsewhere = Made(L"别处") + L"\\下载.bin";
    test::TempFolder::Write(elsewhere, "data");
    ASSERT_EQ(test::RunClipPeer(L"cut \"" + elsewhere + L"\""), 0u);
    SetFocus(page.ListView1);
    Keys({VK_CONTROL, 'V'});
    EXPECT_TRUE(Exists(desktop + L"\\下载.bin"));
    EXPECT_FALSE(Exists(elsewhere));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_HDROP));

    // Ctrl+X here offers a move to the other program.
    Select({L"b.txt"});
    Keys({VK_CONTROL, 'X'});
    std::wstring into = Made(L"粘贴到");
    ASSERT_EQ(test::RunClipPeer(L"paste \"" + into + L"\""), 0u);
    EXPECT_TRUE(Exists(into + L"\\b.txt"));
    EXPECT_FALSE(Exists(desktop + L"\\b.txt"));
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ListKeysTest, DropsThroughTheListsDropTarget) {
    IDropTarget* target = page.ListDropTarget();
    ASSERT_TRUE(target);
    // A point below the rows, and one on the folder row.
    RECT r{LVIR_BOUNDS};
    ListView_GetItemRect(page.ListView1, Index(L"相册"), &r, LVIR_BOUNDS);
    POINT onFolder{r.left + 10, (r.top + r.bottom) / 2}, below{r.left + 10, r.bottom + 200};
    ClientToScreen(page.ListView1, &onFolder);
    ClientToScreen(page.ListView1, &below);
    auto drop = [&](const std::vector<std::wstring>& files, POINT at, DWORD keys) {
        Microsoft::WRL::ComPtr<IDataObject> data = platform::ShellDataObject(files);
        EXPECT_TRUE(data);
        if (!data) return DWORD{0xFF};
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        target->DragEnter(data.Get(), keys, {at.x, at.y}, &effect);
        DWORD over = effect;
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        target->Drop(data.Get(), keys, {at.x, at.y}, &effect);
        EXPECT_EQ(over, effect) << "the drag showed what the drop did";
        return effect;
    };
    std::wstring away = Made(L"别处");
    for (const wchar_t* name : {L"1.txt", L"2.txt", L"3.txt"})
        test::TempFolder::Write(away + L"\\" + name, "x");

    EXPECT_EQ(drop({away + L"\\1.txt"}, below, 0), DWORD{DROPEFFECT_MOVE}) << "the same drive: moved";
    EXPECT_TRUE(Exists(desktop + L"\\1.txt") && !Exists(away + L"\\1.txt"));
    EXPECT_EQ(drop({away + L"\\2.txt"}, below, MK_CONTROL), DWORD{DROPEFFECT_COPY}) << "Ctrl copies";
    EXPECT_TRUE(Exists(desktop + L"\\2.txt") && Exists(away + L"\\2.txt"));
    EXPECT_EQ(drop({away + L"\\3.txt"}, onFolder, 0), DWORD{DROPEFFECT_MOVE});
    EXPECT_TRUE(Exists(desktop + L"\\相册\\3.txt"));
    EXPECT_EQ(drop({desktop + L"\\a.txt"}, below, 0), DWORD{DROPEFFECT_NONE}) << "onto its own folder";
    EXPECT_EQ(drop({desktop + L"\\相册"}, onFolder, MK_CONTROL), DWORD{DROPEFFECT_NONE}) << "onto itself";
    EXPECT_EQ(drop({desktop + L"\\a.txt"}, onFolder, 0), DWORD{DROPEFFECT_MOVE}) << "a row onto a folder row";
    EXPECT_TRUE(Exists(desktop + L"\\相册\\a.txt"));

    // Z: is the Unix root, another drive: copied.
    std::wstring onZ = L"Z:\\tmp\\tavolin-drop-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    test::TempFolder::Write(onZ, "z");
    if (Exists(onZ)) {
        EXPECT_EQ(drop({onZ}, below, 0), DWORD{DROPEFFECT_COPY});
        EXPECT_TRUE(Exists(onZ) && Exists(desktop + onZ.substr(onZ.rfind(L'\\'))));
        DeleteFileW(onZ.c_str());
    }
    EXPECT_TRUE(boxes.Texts().empty());
}

} // namespace
