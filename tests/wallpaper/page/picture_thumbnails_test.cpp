// The picture list's views: thumbnails read back from the list as it draws itself, their cache on
// disk, the view chosen from the menu, and what reads the list the same in both views.
#include "res/resource.h"
#include "settings/settings_store.h"
#include "tests/support/temp_folder.h"
#include "tests/support/user_input.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/page/picture_page.h"

#include <gtest/gtest.h>
#include <shellapi.h>

namespace {

constexpr long Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, Yellow = 0xFFFF00;

long System(int colour) {
    COLORREF c = GetSysColor(colour);
    return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

// The list drawn into a bitmap of its client size, as it paints itself.
class Shot {
  public:
    explicit Shot(HWND list) {
        RECT r{};
        GetClientRect(list, &r);
        w_ = r.right;
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof bi.bmiHeader, r.right, -r.bottom, 1, 32, BI_RGB};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ =
            CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        SelectObject(dc_, bitmap_);
        SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT | PRF_ERASEBKGND);
    }
    ~Shot() {
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    long At(int x, int y) const {
        const uint8_t* p = bits_ + (size_t(y) * w_ + x) * 4;
        return p[2] << 16 | p[1] << 8 | p[0];
    }
    HDC dc() const { return dc_; }

  private:
    int w_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    uint8_t* bits_ = nullptr;
};

class PictureThumbnailsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::UseCom();
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PictureThumbnailsTestHost";
        RegisterClassW(&wc);
        host = CreateWindowW(wc.lpszClassName, L"Tavolin", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
        places.ProgramFolder = temp.path() + L"\\程序";
        places.ThumbnailFolder = temp.path() + L"\\缩略图";
        places.WallpaperBitmapPath = temp.path() + L"\\Vesmar.bmp";
        places.PictureFolder = places.ProgramFolder + L"\\Tavolin壁纸";
        ASSERT_TRUE(page.Build(host, ui::IDC_Page1, nullptr, 96));
        SetWindowPos(page.hwnd(), nullptr, 0, 0, 780, 560, SWP_NOZORDER | SWP_SHOWWINDOW);
        SetWindowPos(page.File1, nullptr, 10, 10, 300, 420, SWP_NOZORDER);
        folder = temp.path() + L"\\图";
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Tavolin\\" + places.ProgramFolder).c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, (L"Software\\Tavolin\\" + places.ProgramFolder).c_str());
        DestroyWindow(host);
    }
    // The 80 × 60 box of row `row` at 96 DPI.
    RECT Box(int row) const {
        RECT r{};
        SendMessageW(page.File1, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        const int top = (r.top + r.bottom - 60) / 2;
        return {r.left + 4, top, r.left + 84, top + 60};
    }
    // The colours at the top and the bottom of the middle of row `row`'s box.
    std::pair<long, long> TopAndBottom(int row, int inset) {
        Shot shot(page.File1);
        RECT b = Box(row);
        return {shot.At((b.left + b.right) / 2, b.top + inset),
                shot.At((b.left + b.right) / 2, b.bottom - inset)};
    }
    // Waits until row `row` shows `top` above `bottom`.
    bool Shows(int row, long top, long bottom, int inset = 8) {
        return test::Pump(host, 20000, [&] {
            auto [t, b] = TopAndBottom(row, inset);
            return test::Near(t, top, 48) && test::Near(b, bottom, 48);
        });
    }
    int ThumbnailFiles() const {
        int n = 0;
        for (const std::wstring& name : test::FilesIn(places.ThumbnailFolder))
            n += name.ends_with(L".thumb");
        return n;
    }
    std::wstring Path(const std::wstring& name) const { return folder + L"\\" + name; }
    static bool Halves(const std::wstring& file, const GUID& container, long top, long bottom) {
        return test::WritePixels(file, container, 80, 60,
                                 [=](UINT, UINT y) { return y < 30 ? top : bottom; });
    }

    test::TempFolder temp;
    struct : wallpaper::PictureHost {
        void ShowDownloadWindow() override {}
    } fakeHost;
    settings::AppSettings settings;
    core::ProgramPlaces places;
    wallpaper::PicturePage page{fakeHost, settings, places};
    HWND host = nullptr;
    std::wstring folder;
};

TEST_F(PictureThumbnailsTest, RowsShowTheirPicturesUprightAnIconForWhatCannotBeDecodedAndTheDiskKeepsThem) {
    ASSERT_TRUE(Halves(Path(L"a.bmp"), GUID_ContainerFormatBmp, Blue, Green));
    // Stored with red on the left: turned a quarter clockwise, red comes on top.
    ASSERT_TRUE(test::WritePixels(Path(L"b.jpg"), GUID_ContainerFormatJpeg, 80, 60,
                                  [](UINT x, UINT) { return x < 40 ? Red : Blue; }));
    test::TempFolder::Write(Path(L"b.jpg"), test::WithOrientation(test::ReadBytes(Path(L"b.jpg")), 6, true));
    // A red photo whose EXIF thumbnail, turned the same way, is yellow above green (made by exiftool).
    const bool exif = CopyFileW(L"Z:\\tmp\\tavolin-thumb-photo\\photo.jpg", Path(L"c.jpg").c_str(), FALSE);
    test::TempFolder::Write(Path(L"d.jpg"), "this is not a JPEG");
    // 40 × 30, red on the left, clear at the top right: at its own size, its clear part on the list's colour.
    test::TempFolder::Write(Path(L"e.png"), test::TestPicture(L"ALPHA_PNG"));
    ASSERT_TRUE(page.SetPath(folder));
    ASSERT_EQ(page.ListCount(), exif ? 5 : 4);
    const int bad = exif ? 3 : 2;

    // Nothing is made while the list is not shown.
    test::Pump(host, 200, [] { return false; });
    EXPECT_FALSE(test::Exists(places.ThumbnailFolder));
    auto [top, bottom] = TopAndBottom(0, 8);
    EXPECT_EQ(top, System(COLOR_WINDOW)) << "an empty box";

    ShowWindow(host, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(Shows(0, Blue, Green));
    EXPECT_TRUE(Shows(1, Red, Blue));
    if (exif)
        EXPECT_TRUE(Shows(2, Yellow, Green));
    else
        ADD_FAILURE() << "no Z:\\tmp\\tavolin-thumb-photo: the thumbnail_photo fixture makes it";
    const RECT clear = Box(bad + 1);
    EXPECT_TRUE(
        test::Pump(host, 20000, [&] { return Shot(page.File1).At(clear.left + 30, clear.top + 30) == Red; }));
    EXPECT_EQ(Shot(page.File1).At(clear.left + 50, clear.top + 20), System(COLOR_WINDOW));
    // The type's icon, as the shell draws it, where the picture would be.
    SHFILEINFOW info{};
    ASSERT_TRUE(SHGetFileInfoW(L"a.jpg", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                               SHGFI_ICON | SHGFI_USEFILEATTRIBUTES));
    const RECT box = Box(bad);
    const int x = box.left + 24, y = box.top + 14;
    auto iconShown = [&] {
        Shot shot(page.File1), icon(page.File1);
        RECT whole{0, 0, 300, 420};
        FillRect(icon.dc(), &whole, GetSysColorBrush(COLOR_WINDOW));
        DrawIconEx(icon.dc(), x, y, info.hIcon, 32, 32, 0, nullptr, DI_NORMAL);
        for (int dy = 0; dy < 32; ++dy)
            for (int dx = 0; dx < 32; ++dx)
                if (shot.At(x + dx, y + dy) != icon.At(x + dx, y + dy)) return false;
        return true;
    };
    EXPECT_TRUE(test::Pump(host, 20000, iconShown));
    DestroyIcon(info.hIcon);
    EXPECT_TRUE(test::Pump(host, 20000, [&] { return ThumbnailFiles() == page.ListCount(); }))
        << ThumbnailFiles() << " thumbnail files";
    EXPECT_TRUE(
        test::Pump(host, 20000, [&] { return test::Exists(places.ThumbnailFolder + L"\\索引.txt"); }));

    // A damaged thumbnail file is made again, silently.
    for (const std::wstring& name : test::FilesIn(places.ThumbnailFolder))
        if (name.ends_with(L".thumb")) test::TempFolder::Write(places.ThumbnailFolder + L"\\" + name, "TVTH");
    page.OnCommand(ID_FlieL刷新, 0, nullptr);
    EXPECT_TRUE(Shows(0, Blue, Green));
    EXPECT_TRUE(Shows(1, Red, Blue));
    // A picture replaced shows its new thumbnail after 刷新.
    ASSERT_TRUE(Halves(Path(L"a.bmp"), GUID_ContainerFormatBmp, Red, Red));
    page.OnCommand(ID_FlieL刷新, 0, nullptr);
    EXPECT_TRUE(Shows(0, Red, Red));
    // One rewritten with the same size and time counts as unchanged: it shows what the disk keeps.
    WIN32_FILE_ATTRIBUTE_DATA a{};
    GetFileAttributesExW(Path(L"a.bmp").c_str(), GetFileExInfoStandard, &a);
    ASSERT_TRUE(Halves(Path(L"a.bmp"), GUID_ContainerFormatBmp, Blue, Green));
    {
        platform::UniqueHandle f(CreateFileW(Path(L"a.bmp").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
        SetFileTime(f.get(), nullptr, nullptr, &a.ftLastWriteTime);
    }
    page.OnCommand(ID_FlieL刷新, 0, nullptr);
    EXPECT_TRUE(Shows(0, Red, Red)) << "read from the disk";

    // Hidden in the tray, the list holds no thumbnail; shown again, they come back.
    page.SetWindowShown(false);
    EXPECT_EQ(TopAndBottom(0, 8).first, System(COLOR_WINDOW));
    page.SetWindowShown(true);
    EXPECT_TRUE(Shows(0, Red, Red));
    ShowWindow(host, SW_HIDE);
}

TEST_F(PictureThumbnailsTest, TheViewIsChosenFromTheMenuAndKeptAndTheListReadsTheSameInBoth) {
    for (const wchar_t* name : {L"apple.bmp", L"cherry.bmp", L"banana.bmp"})
        ASSERT_TRUE(Halves(Path(name), GUID_ContainerFormatBmp, Blue, Green));
    ASSERT_TRUE(page.SetPath(folder));
    ShowWindow(host, SW_SHOW);
    SetForegroundWindow(host);
    EXPECT_TRUE(page.ShowsThumbnails()) << "缩略图 at first";
    const auto height = [&] { return static_cast<int>(SendMessageW(page.File1, LB_GETITEMHEIGHT, 0, 0)); };
    // A plain list box with the list's font: the row height of the 列表 view.
    HWND plain =
        CreateWindowW(L"LISTBOX", L"", WS_CHILD, 0, 0, 10, 10, page.hwnd(), nullptr, nullptr, nullptr);
    SendMessageW(plain, WM_SETFONT, SendMessageW(page.File1, WM_GETFONT, 0, 0), FALSE);
    const int plainHeight = static_cast<int>(SendMessageW(plain, LB_GETITEMHEIGHT, 0, 0));
    DestroyWindow(plain);
    struct Step {
        int command;
        const wchar_t* stored;
        bool thumbnails;
    } steps[] = {
        {ID_FlieL列表, L"列表", false}, {ID_FlieL缩略图, L"缩略图", true}, {ID_FlieL列表, L"列表", false}};
    for (const Step& s : steps) {
        page.OnCommand(s.command, 0, nullptr);
        EXPECT_EQ(settings::GetSetting(places.ProgramFolder, L"设置", L"图片列表视图", L""), s.stored);
        EXPECT_EQ(settings::LoadAppSettings(places.ProgramFolder).Thumbnails, s.thumbnails);
        EXPECT_EQ(page.ShowsThumbnails(), s.thumbnails);
        if (s.thumbnails)
            EXPECT_GE(height(), 68) << "the 80 × 60 box and its padding";
        else
            EXPECT_EQ(height(), plainHeight);
        // What reads the list: its texts, typing a name's first letter, the accessible name.
        EXPECT_EQ(page.List(1), L"banana.bmp");
        SetFocus(page.File1);
        SendMessageW(page.File1, WM_CHAR, L'c', 0);
        EXPECT_EQ(page.ListIndex(), 2) << "type-ahead";
        EXPECT_EQ(test::AccessibleName(page.File1), L"图片列表");
        SendMessageW(page.File1, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
    // 列表 rows are drawn as the plain list box draws them: the selected one in the selection colours.
    page.SetListIndex(0);
    Shot shot(page.File1);
    EXPECT_EQ(shot.At(200, height() / 2), System(COLOR_HIGHLIGHT));
    EXPECT_EQ(shot.At(200, height() + height() / 2), System(COLOR_WINDOW));
    EXPECT_FALSE(test::Exists(places.ThumbnailFolder)) << "no thumbnail is made in the 列表 view";
    ShowWindow(host, SW_HIDE);
}

} // namespace
