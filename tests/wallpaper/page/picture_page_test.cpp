// Tab 1 in a window of its own: the picture list, the preview, the folder buttons, the popup
// menu's commands and "设为墙纸", against real files, the registry and the system's dialogs.
#include "res/resource.h"
#include "settings/registry.h"
#include "settings/settings_store.h"
#include "tests/support/temp_folder.h"
#include "tests/support/user_input.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/choosing/pause_state.h"
#include "wallpaper/page/auto_change.h"
#include "wallpaper/page/folder_picker.h"
#include "wallpaper/page/picture_page.h"
#include "wallpaper/laying/wallpaper_setter.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

using test::DialogAnswer;
using wallpaper::PixelRect;

namespace {

class PicturePageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::UseCom();
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PicturePageTestHost";
        RegisterClassW(&wc);
        host = CreateWindowW(L"PicturePageTestHost", L"Tavolin", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
        places.ProgramFolder = temp.path() + L"\\程序";
        CreateDirectoryW(places.ProgramFolder.c_str(), nullptr);
        places.WallpaperBitmapPath = temp.path() + L"\\Vesmar.bmp";
        places.PictureFolder = pictures();
        ASSERT_TRUE(page.Build(host, ui::IDC_Page1, nullptr, 96));
        SetWindowPos(page.hwnd(), nullptr, 0, 0, 780, 560, SWP_NOZORDER | SWP_SHOWWINDOW);
        // A pane of 400 × 300 inside its sunken edge.
        RECT edge{0, 0, 400, 300};
        AdjustWindowRectEx(&edge, WS_CHILD, FALSE, WS_EX_CLIENTEDGE);
        SetWindowPos(page.P_back, nullptr, 0, 0, edge.right - edge.left, edge.bottom - edge.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Tavolin\\" + places.ProgramFolder).c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, (L"Software\\Tavolin\\" + places.ProgramFolder).c_str());
        DestroyWindow(host);
    }
    std::wstring Folder(const std::wstring& name) {
        std::wstring f = temp.path() + L"\\" + name;
        CreateDirectoryW(f.c_str(), nullptr);
        return f;
    }
    std::wstring StoredFolder() const {
        return settings::GetSetting(places.ProgramFolder, L"设置", settings::KeyWallpaperFolder, L"<none>");
    }
    std::vector<std::wstring> Listed() const {
        std::vector<std::wstring> names;
        for (int i = 0; i < page.ListCount(); ++i)
            names.push_back(page.List(i));
        return names;
    }
    int IndexOf(const std::wstring& name) const {
        return static_cast<int>(SendMessageW(page.File1, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(name.c_str())));
    }
    // Selects a row as a click does: the list's own selection, then its notification.
    // A click, with no message handled after it; Click lets its picture arrive.
    void Select(const std::wstring& name) {
        SendMessageW(page.File1, LB_SETCURSEL, static_cast<WPARAM>(IndexOf(name)), 0);
        page.OnCommand(ui::IDC_File1, LBN_SELCHANGE, page.File1);
    }
    void Click(const std::wstring& name) {
        Select(name);
        Settle();
    }
    // Lets the picture thread's results arrive, as the message loop does.
    void Settle() {
        EXPECT_TRUE(test::Pump(host, 20000, [&] { return !page.PictureWorkPending(); }));
    }
    std::pair<int, int> PreviewSize() {
        Settle();
        wallpaper::PixelSize s = page.Preview().PictureSize();
        return {s.width, s.height};
    }

    // What the page asks of the main window, counted.
    struct FakeHost : wallpaper::PictureHost {
        int downloadWindows = 0;
        void ShowDownloadWindow() override { ++downloadWindows; }
    };

    test::TempFolder temp;
    FakeHost fakeHost;
    settings::AppSettings settings;
    core::ProgramPlaces places;
    wallpaper::PicturePage page{fakeHost, settings, places};
    HWND host = nullptr;
    std::wstring pictures() const { return places.ProgramFolder + L"\\Tavolin壁纸"; }
};

TEST_F(PicturePageTest, TheBuiltInPictureIsShownUntilAChoiceAndCanBecomeTheWallpaper) {
    page.加载图片(L"");
    EXPECT_EQ(PreviewSize(), (std::pair{1024, 768}));
    // 1024 × 768 has the pane's own ratio: the height decides, the pane is filled.
    EXPECT_EQ(page.Preview().Shown(), (PixelRect{0, 0, 400, 300}));
    page.设置墙纸();
    Settle();
    test::BitmapHeader h = test::ReadBitmapHeader(places.WallpaperBitmapPath);
    EXPECT_EQ(h.width, 1024);
    EXPECT_EQ(h.height, 768);
    EXPECT_EQ(h.bitCount, 24);
    EXPECT_EQ(settings::GetRegistryString(HKEY_CURRENT_USER, wallpaper::DesktopKey, L"Wallpaper"),
              places.WallpaperBitmapPath);
}

TEST_F(PicturePageTest, AClickShowsThePathInTheCaptionPreviewsAndCollectsThePicture) {
    std::wstring folder = Folder(L"外面的图");
    ASSERT_TRUE(test::WritePicture(folder + L"\\海边.jpg", GUID_ContainerFormatJpeg, 800, 400));
    ASSERT_TRUE(test::WritePicture(folder + L"\\小.bmp", GUID_ContainerFormatBmp, 100, 50, 0x0000FF));
    ASSERT_TRUE(page.SetPath(folder));
    Click(L"海边.jpg");
    EXPECT_EQ(platform::GetText(host), L"Tavolin－" + folder + L"\\海边.jpg");
    EXPECT_EQ(PreviewSize(), (std::pair{800, 400}));
    EXPECT_EQ(page.Preview().Shown(), (PixelRect{0, 50, 400, 200}));
    EXPECT_EQ(test::FilesIn(pictures()), std::vector<std::wstring>{L"海边.jpg"});
    // The wallpaper gets the whole picture, not the preview.
    page.设置墙纸();
    Settle();
    EXPECT_EQ(test::ReadBitmapHeader(places.WallpaperBitmapPath).width, 800);

    // A small picture is centred at its own size, in its own colours.
    Click(L"小.bmp");
    EXPECT_EQ(page.Preview().Shown(), (PixelRect{150, 125, 100, 50}));
    DIBSECTION dib{};
    GetObjectW(page.Preview().ShownBitmap(), sizeof dib, &dib);
    auto* px = static_cast<const BYTE*>(dib.dsBm.bmBits);
    EXPECT_EQ(px[0], 0xFF); // blue
    EXPECT_EQ(px[2], 0x00);
}

TEST_F(PicturePageTest, WhileMinimisedAClickChangesTheCaptionButNotThePreview) {
    std::wstring folder = Folder(L"图");
    ASSERT_TRUE(test::WritePicture(folder + L"\\a.bmp", GUID_ContainerFormatBmp, 64, 48));
    ASSERT_TRUE(page.SetPath(folder));
    ShowWindow(host, SW_MINIMIZE);
    page.SetListIndex(0);
    EXPECT_EQ(platform::GetText(host), L"Tavolin－" + folder + L"\\a.bmp");
    EXPECT_EQ(PreviewSize(), (std::pair{0, 0}));
    // Restored, the window lays out again, and the picture comes.
    ShowWindow(host, SW_RESTORE);
    page.加载图片(L"");
    EXPECT_EQ(PreviewSize(), (std::pair{64, 48}));
    ShowWindow(host, SW_HIDE);
}

TEST_F(PicturePageTest, AFileThatIsNoPictureLeavesThePreviousOneAndAVanishedFileRefreshesTheList) {
    std::wstring folder = Folder(L"图");
    ASSERT_TRUE(test::WritePicture(folder + L"\\good.bmp", GUID_ContainerFormatBmp, 64, 48));
    test::TempFolder::Write(folder + L"\\bad.jpg", "this is not a JPEG");
    test::TempFolder::Write(folder + L"\\gone.gif", "soon deleted");
    ASSERT_TRUE(page.SetPath(folder));
    Click(L"good.bmp");
    {
        // The user's own pick is explained, naming the file; a timed step to it is not.
        DialogAnswer box([](HWND b) { test::Press(b, IDOK); });
        Click(L"bad.jpg");
        EXPECT_NE(box.Text().find(folder + L"\\bad.jpg"), std::wstring::npos) << box.Text();
        EXPECT_NE(box.Text().find(L"损坏"), std::wstring::npos) << box.Text();
    }
    page.SetListIndex(IndexOf(L"bad.jpg"), true);
    Settle();
    EXPECT_EQ(platform::GetText(host), L"Tavolin－" + folder + L"\\bad.jpg");
    EXPECT_EQ(PreviewSize(), (std::pair{64, 48}));
    EXPECT_TRUE(page.Preview().Shown());

    DeleteFileW((folder + L"\\gone.gif").c_str());
    Click(L"gone.gif");
    EXPECT_EQ(platform::GetText(host), L"Tavolin－" + folder + L"\\bad.jpg");
    EXPECT_EQ(Listed(), (std::vector<std::wstring>{L"bad.jpg", L"good.bmp"}));
}

TEST_F(PicturePageTest, TheListShowsPicturesOfAnyNameInFileListOrder) {
    std::wstring folder = Folder(L"各种名字");
    const std::wstring odd = L"ç 照片 😀 #1 (副本).jpeg";
    ASSERT_TRUE(test::WritePicture(folder + L"\\" + odd, GUID_ContainerFormatJpeg, 30, 20));
    ASSERT_TRUE(test::WritePicture(folder + L"\\b.JPG", GUID_ContainerFormatJpeg, 30, 20));
    ASSERT_TRUE(test::WritePicture(folder + L"\\A.gif", GUID_ContainerFormatGif, 30, 20));
    test::TempFolder::Write(folder + L"\\z.png", "png");
    test::TempFolder::Write(folder + L"\\z.ico", "icon");
    test::TempFolder::Write(folder + L"\\hidden.jpg", "hidden");
    SetFileAttributesW((folder + L"\\hidden.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryW((folder + L"\\folder.jpg").c_str(), nullptr);
    ASSERT_TRUE(page.SetPath(folder + L"\\"));
    EXPECT_EQ(page.Path(), folder);
    EXPECT_EQ(Listed(), (std::vector<std::wstring>{L"A.gif", L"b.JPG", L"z.png", odd}));
    Click(odd);
    EXPECT_EQ(platform::GetText(host), L"Tavolin－" + folder + L"\\" + odd);
    EXPECT_EQ(PreviewSize(), (std::pair{30, 20}));
    EXPECT_EQ(test::FilesIn(pictures()), std::vector<std::wstring>{odd});
}

TEST_F(PicturePageTest, AFailedCollectionIsReportedAndThePictureStillShows) {
    std::wstring folder = Folder(L"图");
    ASSERT_TRUE(test::WritePicture(folder + L"\\a.bmp", GUID_ContainerFormatBmp, 64, 48));
    test::TempFolder::Write(pictures(), "a file where the folder would go");
    ASSERT_TRUE(page.SetPath(folder));
    DialogAnswer box([](HWND b) { test::Press(b, IDOK); });
    Click(L"a.bmp");
    EXPECT_NE(box.Text().find(L"无法创建图片文件夹"), std::wstring::npos) << box.Text();
    EXPECT_EQ(PreviewSize(), (std::pair{64, 48}));
}

TEST_F(PicturePageTest, SetAsWallpaperReportsAFailedWriteAndChangesNothingElse) {
    std::wstring before = settings::GetRegistryString(HKEY_CURRENT_USER, wallpaper::DesktopKey, L"Wallpaper");
    // A file stands where the bitmap's folder would be made.
    test::TempFolder::Write(temp.path() + L"\\不存在", "");
    places.WallpaperBitmapPath = temp.path() + L"\\不存在\\Vesmar.bmp";
    DialogAnswer box([](HWND b) { test::Press(b, IDOK); });
    page.OnCommand(ui::IDC_Command2, BN_CLICKED, page.Command2);
    Settle();
    EXPECT_NE(box.Text().find(L"无法保存墙纸图片：" + places.WallpaperBitmapPath), std::wstring::npos)
        << box.Text();
    EXPECT_EQ(settings::GetRegistryString(HKEY_CURRENT_USER, wallpaper::DesktopKey, L"Wallpaper"), before);
}

TEST_F(PicturePageTest, ACancelledPickerChangesNothing) {
    std::wstring folder = Folder(L"原来的");
    ASSERT_TRUE(page.SetPath(folder));
    std::wstring title;
    DialogAnswer picker([&](HWND dialog) {
        EnumChildWindows(
            dialog,
            [](HWND w, LPARAM lp) -> BOOL {
                if (platform::GetText(w) == L"请选择文件夹: ")
                    *reinterpret_cast<std::wstring*>(lp) = L"found";
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&title));
        test::Press(dialog, IDCANCEL);
    });
    page.OnCommand(ui::IDC_Command1, BN_CLICKED, page.Command1);
    ASSERT_TRUE(picker.Seen());
    EXPECT_EQ(title, L"found");
    EXPECT_EQ(page.Path(), folder);
    EXPECT_EQ(StoredFolder(), L"<none>");
}

TEST_F(PicturePageTest, APickedFolderIsListedAndStoredWithItsBackslash) {
    std::wstring chosen = Folder(L"选中的");
    ASSERT_TRUE(test::WritePicture(chosen + L"\\x.gif", GUID_ContainerFormatGif, 8, 8));
    DialogAnswer picker([&](HWND dialog) { test::PickFolder(dialog, chosen); });
    page.Command1_Click();
    ASSERT_TRUE(picker.Seen());
    EXPECT_EQ(page.Path(), chosen);
    EXPECT_EQ(Listed(), std::vector<std::wstring>{L"x.gif"});
    EXPECT_EQ(StoredFolder(), chosen + L"\\");
    EXPECT_EQ(settings.WallpaperFolder, chosen + L"\\");
}

TEST(BrowseForFolder, ADriveRootKeepsItsOneBackslash) {
    test::UseCom();
    DialogAnswer picker([](HWND dialog) { test::PickFolder(dialog, L"C:\\"); });
    EXPECT_EQ(wallpaper::BrowseForFolder(nullptr), L"C:\\");
}

TEST_F(PicturePageTest, DefaultPathTakesTheDefaultFolderOnlyWhenItExists) {
    std::wstring folder = Folder(L"原来的");
    ASSERT_TRUE(page.SetPath(folder));
    page.OnCommand(ui::IDC_Command3, BN_CLICKED, page.Command3);
    EXPECT_EQ(page.Path(), folder);
    EXPECT_FALSE(test::Exists(pictures()));
    EXPECT_EQ(StoredFolder(), L"<none>");

    CreateDirectoryW(pictures().c_str(), nullptr);
    page.Command3_Click();
    EXPECT_EQ(page.Path(), pictures());
    EXPECT_EQ(StoredFolder(), pictures());
}

TEST_F(PicturePageTest, TheListsTipNamesTheCurrentFolder) {
    std::wstring folder = Folder(L"提示");
    ASSERT_TRUE(page.SetPath(folder));
    HWND tip = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            wchar_t cls[64] = L"";
            GetClassNameW(w, cls, 64);
            if (wcscmp(cls, TOOLTIPS_CLASSW) == 0) *reinterpret_cast<HWND*>(lp) = w;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&tip));
    ASSERT_TRUE(tip);
    wchar_t text[512] = L"";
    TTTOOLINFOW tool{sizeof tool};
    tool.hwnd = page.hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(page.File1);
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), L"当前文件夹：" + folder);
}

TEST_F(PicturePageTest, DeleteFileRemovesTheSelectedPictureAndRefreshes) {
    std::wstring folder = Folder(L"图");
    for (const wchar_t* name : {L"a.bmp", L"b.bmp", L"c.bmp"})
        ASSERT_TRUE(test::WritePicture(folder + L"\\" + name, GUID_ContainerFormatBmp, 4, 4));
    ASSERT_TRUE(page.SetPath(folder));
    // Nothing selected: nothing deleted.
    page.OnCommand(ID_menu删除文件jpg, 0, nullptr);
    EXPECT_EQ(test::FilesIn(folder).size(), 3u);

    SendMessageW(page.File1, LB_SETCURSEL, 1, 0);
    page.OnCommand(ID_menu删除文件jpg, 0, nullptr);
    EXPECT_EQ(test::FilesIn(folder), (std::vector<std::wstring>{L"a.bmp", L"c.bmp"}));
    EXPECT_EQ(Listed(), (std::vector<std::wstring>{L"a.bmp", L"c.bmp"}));

    // A file another program holds open stays, and the user is told. The page reads the pictures'
    // headers in the background (their ratings, their thumbnails): the file is held once they let go.
    platform::UniqueHandle held;
    ASSERT_TRUE(test::Pump(page.hwnd(), 10000, [&] {
        if (!held)
            held.reset(CreateFileW((folder + L"\\a.bmp").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        return static_cast<bool>(held);
    }));
    SendMessageW(page.File1, LB_SETCURSEL, 0, 0);
    DialogAnswer box([](HWND b) { test::Press(b, IDOK); });
    page.menu删除文件jpg_Click();
    EXPECT_NE(box.Text().find(L"无法删除文件："), std::wstring::npos) << box.Text();
    EXPECT_TRUE(test::Exists(folder + L"\\a.bmp"));

    // "刷新" picks up what changed on disk.
    held.reset();
    ASSERT_TRUE(test::WritePicture(folder + L"\\d.bmp", GUID_ContainerFormatBmp, 4, 4));
    page.OnCommand(ID_FlieL刷新, 0, nullptr);
    EXPECT_EQ(Listed(), (std::vector<std::wstring>{L"a.bmp", L"c.bmp", L"d.bmp"}));
}

} // namespace

TEST_F(PicturePageTest, OnlyTheDownloadButtonAsksTheMainWindowForSomething) {
    page.OnCommand(ui::IDC_Command5, BN_CLICKED, page.Command5);
    EXPECT_EQ(fakeHost.downloadWindows, 1);
    // "设为墙纸" and the folder buttons are the page's own work.
    page.OnCommand(ui::IDC_Command2, BN_CLICKED, page.Command2);
    page.OnCommand(ui::IDC_Command3, BN_CLICKED, page.Command3);
    EXPECT_EQ(fakeHost.downloadWindows, 1);
}

namespace {

// The timed modes over this page, with a main window that only records what it is asked.
class TimedModesTest : public PicturePageTest {
  protected:
    struct FakeMain : wallpaper::AutoChangeHost {
        HWND Window() const override { return window; }
        bool ShowOptions() override { return ++options, optionsConfirmed; }
        void ClearDesktop() override { ++clears; }
        void SetTimerEnabled(ui::TimerId id, bool on) override { timers[id] = on; }
        void 设置墙纸() override { ++wallpapers; }
        bool SlideshowCanRun() const override { return slideshowCanRun; }
        // The program's own tray menu, whose item caption is the change's state.
        HMENU TrayMenu() const override { return GetSubMenu(popups.get(), POPUP_TRAY); }
        void ShowPause(wallpaper::PauseReason reason) override { pause = reason; }
        void ShowPhase(const std::wstring& line) override { phase = line; }
        std::wstring phase;
        HWND window = nullptr;
        wallpaper::PauseReason pause = wallpaper::PauseReason::None;

        int options = 0, clears = 0, wallpapers = 0;
        bool optionsConfirmed = true, slideshowCanRun = true;
        bool timers[5] = {};
        platform::UniqueMenu popups{LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUPS))};
    };
    void SetUp() override {
        PicturePageTest::SetUp();
        std::wstring folder = Folder(L"三张");
        for (const wchar_t* name : {L"a.bmp", L"b.bmp", L"c.bmp"})
            ASSERT_TRUE(test::WritePicture(folder + L"\\" + name, GUID_ContainerFormatBmp, 20, 10));
        ASSERT_TRUE(page.SetPath(folder));
        settings.WallpaperInterval = 2;
        settings.SlideshowInterval = 1;
        main.window = GetParent(page.hwnd());
    }
    void TearDown() override {
        wallpaper::UsePowerStatus(nullptr);
        PicturePageTest::TearDown();
    }

    FakeMain main;
    wallpaper::AutoChange modes{main, page, settings, 1};
};

} // namespace

TEST_F(TimedModesTest, TheChangeAsksForAClearDesktopAndAWallpaperAtEachInterval) {
    modes.menu自动更换壁纸_Click();
    EXPECT_EQ(main.clears, 1);
    EXPECT_TRUE(modes.Running());
    // One timer, due when the interval is over: nothing ticks in between.
    EXPECT_GT(modes.DueIn().value_or(0), 1000u);
    EXPECT_LE(modes.DueIn().value_or(0), 2000u);
    EXPECT_EQ(main.options, 0) << "the tray item starts without the options dialog";
    EXPECT_EQ(modes.TrayItemCaption(), L"停止更换壁纸");
    for (int i = 0; i < 2; ++i)
        modes.Timer1_Timer();
    EXPECT_EQ(main.wallpapers, 2);
    EXPECT_EQ(page.ListIndex(), 1);
    // "下一张墙纸" counts the interval from 0 again.
    Sleep(300);
    modes.menu下一张墙纸_Click();
    EXPECT_GT(modes.DueIn().value_or(0), 1900u);
    // Longer intervals count on from where the count began.
    settings.WallpaperInterval = 3600;
    modes.SettingsChanged();
    EXPECT_GT(modes.DueIn().value_or(0), 3598000u);
    modes.menu自动更换壁纸_Click();
    EXPECT_FALSE(modes.Running() || modes.DueIn());
    EXPECT_EQ(modes.Command4Caption(), L"自动更换墙纸");
}

TEST_F(TimedModesTest, AChangeDueDuringAPauseSetsNothingAndTheNextComesAnIntervalAfter) {
    modes.menu自动更换壁纸_Click();
    // The battery pauses only once the user ticks it.
    wallpaper::UsePowerStatus([](SYSTEM_POWER_STATUS* status) {
        *status = {};
        return TRUE; // ACLineStatus 0: on battery
    });
    modes.Timer1_Timer();
    EXPECT_EQ(main.wallpapers, 1);
    settings.PauseBattery = true;
    modes.Timer1_Timer();
    EXPECT_EQ(main.wallpapers, 1);
    EXPECT_EQ(main.pause, wallpaper::PauseReason::Battery);
    EXPECT_GT(modes.DueIn().value_or(0), 1000u) << "the count starts again: no burst when the pause ends";
    wallpaper::UsePowerStatus(nullptr);
    modes.Timer1_Timer();
    EXPECT_EQ(main.wallpapers, 2);
    EXPECT_EQ(main.pause, wallpaper::PauseReason::None);
    // Locked, the timer stands still with what it had counted, and goes on when unlocked.
    settings.WallpaperInterval = 3600;
    modes.SessionDark(true, false);
    EXPECT_TRUE(modes.Running());
    EXPECT_FALSE(modes.Ticking() || modes.DueIn());
    modes.SessionDark(false, false);
    EXPECT_GT(modes.DueIn().value_or(0), 3598000u);
}

TEST_F(TimedModesTest, TheButtonAsksForTheOptionsAndStartsNothingWhenTheProgramEndedMeanwhile) {
    main.optionsConfirmed = false;
    modes.Command4_Click();
    EXPECT_EQ(main.options, 1);
    EXPECT_EQ(main.clears, 0);
    EXPECT_FALSE(modes.Running());
    main.optionsConfirmed = true;
    main.timers[ui::TimerKT] = true;
    modes.Command4_Click();
    EXPECT_EQ(main.clears, 1);
    EXPECT_TRUE(modes.Running());
    EXPECT_FALSE(main.timers[ui::TimerKT]) << "the change ends a slideshow";
}

TEST_F(TimedModesTest, TheSlideshowStopsWhenTheMainWindowSaysItCannotRun) {
    modes.menu循环看图_Click();
    EXPECT_TRUE(main.timers[ui::TimerKT]);
    modes.TimerKT_Timer();
    EXPECT_EQ(page.ListIndex(), 0);
    main.slideshowCanRun = false;
    modes.TimerKT_Timer();
    EXPECT_FALSE(main.timers[ui::TimerKT]);
    EXPECT_EQ(page.ListIndex(), 0);
    EXPECT_EQ(main.wallpapers, 0) << "the slideshow leaves the wallpaper";
}

TEST_F(PicturePageTest, ADroppedPictureIsPreviewedAsIfChosenFromItsFolder) {
    std::wstring folder = Folder(L"拖来的图");
    ASSERT_TRUE(test::WritePicture(folder + L"\\a.jpg", GUID_ContainerFormatJpeg, 60, 40));
    ASSERT_TRUE(test::WritePicture(folder + L"\\山.bmp", GUID_ContainerFormatBmp, 300, 100));
    const DWORD any = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(page.DropPictures({folder + L"\\山.txt"}, any, true), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(page.DropPictures({folder + L"\\山.bmp"}, DROPEFFECT_MOVE, false), DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(page.DropPictures({folder + L"\\山.txt", folder + L"\\山.bmp"}, any, true),
              DWORD{DROPEFFECT_COPY});
    EXPECT_EQ(page.Path(), folder);
    EXPECT_EQ(page.ListIndex(), IndexOf(L"山.bmp"));
    EXPECT_EQ(PreviewSize(), (std::pair{300, 100}));
    EXPECT_EQ(test::FilesIn(pictures()), std::vector<std::wstring>{L"山.bmp"}) << "collected as a click does";
}

TEST_F(PicturePageTest, SetAsWallpaperTakesThePictureBeingLoadedWhenPressed) {
    std::wstring folder = Folder(L"大图");
    ASSERT_TRUE(test::WritePicture(folder + L"\\a.jpg", GUID_ContainerFormatJpeg, 640, 400));
    ASSERT_TRUE(test::WritePicture(folder + L"\\b.jpg", GUID_ContainerFormatJpeg, 500, 300));
    test::TempFolder::Write(folder + L"\\c.jpg", "no picture");
    ASSERT_TRUE(page.SetPath(folder));
    Select(L"a.jpg");
    EXPECT_EQ(page.Preview().PictureSize().width, 0) << "nothing shows until the new picture is ready";
    page.Command2_Click();
    Select(L"b.jpg"); // at once: the set still takes a.jpg
    Settle();
    EXPECT_EQ(test::ReadBitmapHeader(places.WallpaperBitmapPath).width, 640);
    EXPECT_EQ(PreviewSize(), (std::pair{500, 300}));
    // Loading a file that is no picture: the preview keeps b.jpg, and so does the set.
    {
        DialogAnswer box([](HWND b) { test::Press(b, IDOK); }); // which names c.jpg
        Select(L"c.jpg");
        page.Command2_Click();
        Settle();
        EXPECT_NE(box.Text().find(L"c.jpg"), std::wstring::npos) << box.Text();
    }
    EXPECT_EQ(test::ReadBitmapHeader(places.WallpaperBitmapPath).width, 500);
}

TEST_F(PicturePageTest, ASetDecodesTheFileAsItIsNowAndRefusesOneThatHasGone) {
    std::wstring folder = Folder(L"换过的");
    ASSERT_TRUE(test::WritePicture(folder + L"\\a.bmp", GUID_ContainerFormatBmp, 120, 80));
    ASSERT_TRUE(page.SetPath(folder));
    Click(L"a.bmp");
    // Replaced on disk after the preview was made: the set takes the new picture.
    ASSERT_TRUE(test::WritePicture(folder + L"\\a.bmp", GUID_ContainerFormatBmp, 90, 60));
    page.Command2_Click();
    Settle();
    EXPECT_EQ(test::ReadBitmapHeader(places.WallpaperBitmapPath).width, 90);
    // Deleted: the user is told, and the wallpaper stays as it was.
    DeleteFileW((folder + L"\\a.bmp").c_str());
    DialogAnswer box([](HWND b) { test::Press(b, IDOK); });
    page.Command2_Click();
    Settle();
    EXPECT_NE(box.Text().find(L"无法显示图片：" + folder + L"\\a.bmp"), std::wstring::npos) << box.Text();
    EXPECT_EQ(test::ReadBitmapHeader(places.WallpaperBitmapPath).width, 90);
}

TEST_F(PicturePageTest, HiddenThePreviewHoldsNothingAndShowsTheChosenPictureWhenShownAgain) {
    std::wstring folder = Folder(L"托盘");
    ASSERT_TRUE(test::WritePicture(folder + L"\\a.bmp", GUID_ContainerFormatBmp, 64, 48));
    ASSERT_TRUE(test::WritePicture(folder + L"\\b.bmp", GUID_ContainerFormatBmp, 40, 80));
    ASSERT_TRUE(page.SetPath(folder));
    Click(L"a.bmp");
    page.SetWindowShown(false);
    EXPECT_FALSE(page.Preview().ShownBitmap());
    // The automatic change while hidden: the wallpaper only.
    page.SetListIndex(IndexOf(L"b.bmp"), true);
    page.设置墙纸();
    Settle();
    EXPECT_EQ(test::ReadBitmapHeader(places.WallpaperBitmapPath).width, 40);
    EXPECT_FALSE(page.Preview().ShownBitmap());
    page.SetWindowShown(true);
    EXPECT_EQ(PreviewSize(), (std::pair{40, 80}));
    EXPECT_EQ(page.Preview().Shown(), (PixelRect{180, 110, 40, 80}));
}

TEST_F(PicturePageTest, AResizedPaneEndsWithThePictureMadeForItsNewSize) {
    std::wstring folder = Folder(L"大");
    ASSERT_TRUE(test::WritePicture(folder + L"\\big.jpg", GUID_ContainerFormatJpeg, 3000, 2000));
    ASSERT_TRUE(page.SetPath(folder));
    Click(L"big.jpg");
    // Several sizes in quick succession, as a dragged frame gives them; the newest wins.
    for (int w : {420, 500, 610, 333}) {
        SetWindowPos(page.P_back, nullptr, 0, 0, w, w, SWP_NOMOVE | SWP_NOZORDER);
        page.加载图片(L"");
    }
    Settle();
    RECT pane{};
    GetClientRect(page.P_back, &pane);
    BITMAP bm{};
    ASSERT_TRUE(GetObjectW(page.Preview().ShownBitmap(), sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, pane.right);
    EXPECT_EQ(page.Preview().Shown(),
              (PixelRect{0, (pane.bottom - bm.bmHeight) / 2, bm.bmWidth, bm.bmHeight}));
    EXPECT_NEAR(bm.bmHeight, pane.right * 2 / 3, 1);
}

TEST_F(PicturePageTest, WithSubfoldersTheTreeIsListedInTheBackgroundPastHiddenFoldersAndLinks) {
    std::wstring top = Folder(L"树");
    for (const wchar_t* folder : {L"\\旅行", L"\\旅行\\深", L"\\隐藏"})
        CreateDirectoryW((top + folder).c_str(), nullptr);
    for (const wchar_t* name : {L"\\a.jpg", L"\\旅行\\海边.bmp", L"\\旅行\\深\\z.gif", L"\\隐藏\\h.bmp"})
        ASSERT_TRUE(test::WritePicture(top + name, GUID_ContainerFormatBmp, 30, 20));
    SetFileAttributesW((top + L"\\隐藏").c_str(), FILE_ATTRIBUTE_HIDDEN);
    settings.Subfolders = true;
    auto listed = [&](const std::wstring& folder) {
        EXPECT_TRUE(page.SetPath(folder));
        EXPECT_TRUE(page.Listing()) << "the list fills in when the walk ends";
        EXPECT_TRUE(test::Pump(host, 20000, [&] { return !page.Listing(); }));
        return Listed();
    };
    EXPECT_EQ(listed(top), (std::vector<std::wstring>{L"a.jpg", L"旅行\\海边.bmp", L"旅行\\深\\z.gif"}));
    Click(L"旅行\\海边.bmp");
    EXPECT_EQ(platform::GetText(host), L"Tavolin－" + top + L"\\旅行\\海边.bmp");
    EXPECT_EQ(PreviewSize(), (std::pair{30, 20}));
    EXPECT_EQ(test::FilesIn(pictures()), std::vector<std::wstring>{L"海边.bmp"})
        << "collected by its own name";
    // A tree with links back to its top, which the test run makes from Linux: listed once, no loop.
    const std::wstring links = L"Z:\\tmp\\tavolin-link-tree";
    if (!test::Exists(links + L"\\sub")) GTEST_SKIP() << "no " << links;
    EXPECT_EQ(listed(links), (std::vector<std::wstring>{L"a.bmp", L"sub\\b.bmp"}));
}
