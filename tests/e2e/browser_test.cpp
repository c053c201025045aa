// Quorvel.exe as its own process: the desktop listed on tab 0 at start-up, and the tray's "打开..." items.
#include "res/resource.h"
#include "tests/e2e/driver.h"
#include "tests/support/temp_folder.h"
#include "tests/support/user_input.h"
#include "ui/controls.h"

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace e2e;

namespace {

using Rows = std::vector<std::vector<std::wstring>>;

// Points the user's desktop folder at a folder of the test's own while this lives (under Wine the real one
// is the Linux home folder). Wine writes "Shell Folders" from "User Shell Folders", so both change.
class MadeDesktop {
  public:
    MadeDesktop() {
        for (Value& v : values_) {
            DWORD bytes = sizeof v.data;
            v.had = RegGetValueW(HKEY_CURRENT_USER, v.key, L"Desktop",
                                 RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &v.type, v.data,
                                 &bytes) == ERROR_SUCCESS;
            v.bytes = bytes;
            const std::wstring& path = folder_.path();
            RegSetKeyValueW(HKEY_CURRENT_USER, v.key, L"Desktop", REG_SZ, path.c_str(),
                            static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
        }
    }
    ~MadeDesktop() {
        for (Value& v : values_)
            if (v.had)
                RegSetKeyValueW(HKEY_CURRENT_USER, v.key, L"Desktop", v.type, v.data, v.bytes);
            else
                RegDeleteKeyValueW(HKEY_CURRENT_USER, v.key, L"Desktop");
    }
    const std::wstring& path() const { return folder_.path(); }

  private:
    struct Value {
        const wchar_t* key;
        bool had = false;
        DWORD type = 0, bytes = 0;
        wchar_t data[1024] = L"";
    };
    Value values_[2] = {{L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"},
                        {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"}};
    test::TempFolder folder_{L"桌面"};
};

const std::vector<std::wstring>* Find(const Rows& rows, const std::wstring& name) {
    for (const auto& row : rows)
        if (row[0] == name) return &row;
    return nullptr;
}

} // namespace

TEST(Browser, TheDesktopIsListedAtStartUp) {
    MadeDesktop made;
    const std::wstring& desktop = made.path();
    CreateDirectoryW((desktop + L"\\照片 文件夹").c_str(), nullptr);
    test::TempFolder::Write(desktop + L"\\照片 文件夹\\inside.bin", std::string(1500, 'x'));
    test::TempFolder::Write(desktop + L"\\说明.txt", std::string(1536, 'x'));

    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    EXPECT_EQ(Text(Control(main, ui::IDC_Label2)), desktop);
    EXPECT_EQ(SendMessageW(Control(main, ui::IDC_Combo1), CB_GETCURSEL, 0, 0), 0); // "桌面"
    Rows rows;
    // A folder's size fills in when its walk ends.
    WaitFor([&] {
        rows = ListViewRows(Control(main, ui::IDC_ListView1), 4);
        return rows.size() == 2 && !rows[0][1].empty();
    });
    ASSERT_EQ(rows.size(), 2u);
    // Folders first; the size column in kilobytes (1000 bytes for a folder's tree, 1024 for a file).
    EXPECT_EQ(rows[0][0], L"照片 文件夹");
    EXPECT_EQ(rows[0][1], L"1.50");
    EXPECT_EQ(rows[0][2], L"文件夹");
    EXPECT_EQ(rows[1][0], L"说明.txt");
    EXPECT_EQ(rows[1][1], L"1.50");
    EXPECT_NE(rows[1][2], L"文件夹");
    EXPECT_EQ(rows[1][3].size(), 19u); // 2004-06-21 21:05:03
}

TEST(Browser, TheTraysSystemFolderItemShowsItOnTab0) {
    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    // Hidden, on another tab.
    HWND tabs = Control(main, ui::IDC_SSTab1);
    SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));

    program.Choose(ID_menu系统目录);
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_TRUE(WaitFor([&] { return Text(Control(main, ui::IDC_Label2)) == system; }))
        << Text(Control(main, ui::IDC_Label2));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(Control(main, ui::IDC_ListView1)));
    EXPECT_EQ(SendMessageW(Control(main, ui::IDC_Combo1), CB_GETCURSEL, 0, 0), 2); // "系统目录"
    Rows rows = ListViewRows(Control(main, ui::IDC_ListView1), 4);
    ASSERT_TRUE(Find(rows, L"drivers")) << rows.size() << " rows";
    EXPECT_EQ((*Find(rows, L"drivers"))[2], L"文件夹");
}

TEST(Browser, DeletingASelectionRemovesItsEntriesForGoodAndRebuildsTheList) {
    MadeDesktop made;
    const std::wstring& desktop = made.path();
    CreateDirectoryW((desktop + L"\\旧照片").c_str(), nullptr);
    test::TempFolder::Write(desktop + L"\\旧照片\\1.jpg", "one");
    test::TempFolder::Write(desktop + L"\\a.txt", "a");
    test::TempFolder::Write(desktop + L"\\b.txt", "b");

    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    HWND list = Control(main, ui::IDC_ListView1);
    ASSERT_EQ(ListViewRows(list, 1), (Rows{{L"旧照片"}, {L"a.txt"}, {L"b.txt"}}));
    SelectListViewRows(list, {0, 1});
    // What the popup menu's "删除" sends.
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(ID_menu删除, 0), 0);
    EXPECT_TRUE(WaitFor([&] { return ListViewRows(list, 1) == Rows{{L"b.txt"}}; }));
    EXPECT_EQ(GetFileAttributesW((desktop + L"\\旧照片").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW((desktop + L"\\a.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW((desktop + L"\\b.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Browser, AFileCopiedInTheListIsPastedByAnotherProgram) {
    MadeDesktop made;
    test::TempFolder::Write(made.path() + L"\\报告.txt", "report");
    test::TempFolder into(L"粘贴");
    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    HWND list = Control(main, ui::IDC_ListView1);
    ASSERT_EQ(ListViewRows(list, 1), Rows{{L"报告.txt"}});
    if (OpenClipboard(nullptr)) EmptyClipboard(), CloseClipboard();
    // A click on the row, just below the header, gives the list the focus; then Ctrl+C from the keyboard.
    RECT header{};
    GetWindowRect(ListView_GetHeader(list), &header);
    POINT row{20, header.bottom - header.top + 8};
    ClientToScreen(list, &row);
    // A loaded machine may take the first click before the window is in front: a user clicks again.
    bool selected = false;
    for (int attempt = 0; attempt < 3 && !selected; ++attempt) {
        SetForegroundWindow(main);
        test::ClickAt(row);
        selected = WaitFor([&] { return ListView_GetSelectedCount(list) == 1; }, 3000);
    }
    ASSERT_TRUE(selected);
    test::PressKeys({VK_CONTROL, 'C'});
    ASSERT_TRUE(WaitFor([] { return IsClipboardFormatAvailable(CF_HDROP) != FALSE; }, 5000));
    EXPECT_EQ(test::PasteElsewhere(into.path()), 0u);
    EXPECT_TRUE(GetFileAttributesW((into.path() + L"\\报告.txt").c_str()) != INVALID_FILE_ATTRIBUTES &&
                GetFileAttributesW((made.path() + L"\\报告.txt").c_str()) != INVALID_FILE_ATTRIBUTES);
}

TEST(Browser, AFileMadeOnTheDesktopByAnotherProgramAppearsWithoutRefresh) {
    MadeDesktop made;
    const std::wstring& desktop = made.path();
    test::TempFolder::Write(desktop + L"\\old.txt", "a");
    ProgramFolder folder;
    Program program(folder);
    HWND main = program.WaitUntilStarted();
    ASSERT_TRUE(main);
    HWND list = Control(main, ui::IDC_ListView1);
    ASSERT_EQ(ListViewRows(list, 1), (Rows{{L"old.txt"}}));
    SelectListViewRows(list, {0});

    // This test is the other program: it saves a file and makes a folder with a file in it.
    test::TempFolder::Write(desktop + L"\\download.zip", std::string(2048, 'z'));
    CreateDirectoryW((desktop + L"\\截图").c_str(), nullptr);
    test::TempFolder::Write(desktop + L"\\截图\\1.png", std::string(3000, 'p'));
    Rows rows;
    EXPECT_TRUE(WaitFor([&] {
        rows = ListViewRows(list, 2);
        return rows == Rows{{L"截图", L"3.00"}, {L"download.zip", L"2.00"}, {L"old.txt", L"0.00"}};
    })) << rows.size()
        << " rows";
    // The selected row stays selected where it went.
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2);
}
