// A picture for each monitor: through a stand-in for the shell's per-monitor wallpaper object, and as
// one spanning bitmap on Wine with two monitors (scripts/multi-monitor), which skips with one.
#include "wallpaper/laying/monitor_wallpaper.h"

#include "settings/registry.h"
#include "tests/support/temp_folder.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/laying/wallpaper_setter.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

using settings::WallpaperPosition;
using namespace wallpaper;

namespace {

// The shell's object as far as the program uses it: the monitors it lists, one it has lost, the calls.
class FakeDesktop : public IDesktopWallpaper {
  public:
    std::vector<std::pair<std::wstring, RECT>> monitors;
    std::wstring gone;
    std::vector<std::wstring> calls;
    STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP SetWallpaper(LPCWSTR id, LPCWSTR file) override {
        calls.push_back(std::wstring(id) + L" " + file);
        return gone == id ? HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED) : S_OK;
    }
    STDMETHODIMP GetMonitorDevicePathAt(UINT i, LPWSTR* id) override {
        if (i >= monitors.size()) return E_INVALIDARG;
        return SHStrDupW(monitors[i].first.c_str(), id);
    }
    STDMETHODIMP GetMonitorDevicePathCount(UINT* n) override {
        *n = static_cast<UINT>(monitors.size());
        return S_OK;
    }
    STDMETHODIMP GetMonitorRECT(LPCWSTR id, RECT* r) override {
        for (auto& [path, rect] : monitors)
            if (path == id) *r = rect;
        return S_OK;
    }
    STDMETHODIMP SetPosition(DESKTOP_WALLPAPER_POSITION p) override {
        calls.push_back(L"position " + std::to_wstring(p));
        return S_OK;
    }
    STDMETHODIMP GetWallpaper(LPCWSTR, LPWSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetBackgroundColor(COLORREF) override { return E_NOTIMPL; }
    STDMETHODIMP GetBackgroundColor(COLORREF*) override { return E_NOTIMPL; }
    STDMETHODIMP GetPosition(DESKTOP_WALLPAPER_POSITION*) override { return E_NOTIMPL; }
    STDMETHODIMP SetSlideshow(IShellItemArray*) override { return E_NOTIMPL; }
    STDMETHODIMP GetSlideshow(IShellItemArray**) override { return E_NOTIMPL; }
    STDMETHODIMP SetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS, UINT) override { return E_NOTIMPL; }
    STDMETHODIMP GetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS*, UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP AdvanceSlideshow(LPCWSTR, DESKTOP_SLIDESHOW_DIRECTION) override { return E_NOTIMPL; }
    STDMETHODIMP GetStatus(DESKTOP_SLIDESHOW_STATE*) override { return E_NOTIMPL; }
    STDMETHODIMP Enable(BOOL) override { return E_NOTIMPL; }
};

constexpr long Red = 0xC02010, Blue = 0x1030C0;

class MonitorWallpaperTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::UseCom();
        test::WritePicture(File(L"wide.bmp"), GUID_ContainerFormatBmp, 1600, 1000, Red);
        test::WritePicture(File(L"upright.bmp"), GUID_ContainerFormatBmp, 600, 900, Blue);
        test::TempFolder::Write(File(L"broken.jpg"), "not a picture");
    }
    std::wstring File(const std::wstring& name) const { return folder.path() + L"\\" + name; }
    static std::pair<int, int> SizeOf(const std::wstring& file) {
        test::BitmapHeader h = test::ReadBitmapHeader(file);
        return {h.width, h.height};
    }
    test::TempFolder folder;
    const std::wstring bitmap = File(L"wall\\Vesmar.bmp"), second = File(L"wall\\Vesmar-2.bmp");
};

TEST_F(MonitorWallpaperTest, EachMonitorGetsItsOwnBitmapThenThePositionIsSetOnce) {
    // Two monitors of the shell, the upright one on the left.
    std::vector<MonitorPictureRequest> requests = {
        {{L"\\\\.\\DISPLAY2", L"path-b", {-192, 0, 0, 256}}, File(L"upright.bmp")},
        {{L"\\\\.\\DISPLAY1", L"path-a", {0, 0, 320, 200}, true}, File(L"wide.bmp")}};
    // 跨区 is never asked of the shell: each bitmap is made for its monitor alone.
    for (auto [position, shell] :
         {std::pair{WallpaperPosition::Center, DWPOS_CENTER}, std::pair{WallpaperPosition::Span, DWPOS_FILL},
          std::pair{WallpaperPosition::Fill, DWPOS_FILL}}) {
        FakeDesktop desktop;
        MonitorSetResult result = SetMonitorWallpapers(requests, bitmap, position, &desktop);
        EXPECT_EQ(result.errors, std::vector<std::wstring>(2));
        EXPECT_EQ(desktop.calls, (std::vector<std::wstring>{L"path-b " + bitmap, L"path-a " + second,
                                                            L"position " + std::to_wstring(shell)}));
    }
    // 填充 (the last): each bitmap has its monitor's size and its picture's colour.
    EXPECT_EQ(SizeOf(bitmap), std::pair(192, 256));
    EXPECT_EQ(SizeOf(second), std::pair(320, 200));
    EXPECT_EQ(test::BitmapPixel(bitmap, 100, 100), Blue);
    EXPECT_EQ(test::BitmapPixel(second, 100, 100), Red);

    // A picture that cannot be decoded leaves its monitor's file and wallpaper; a monitor the shell
    // has lost does not keep the others from theirs.
    const std::string kept = test::ReadBytes(bitmap);
    requests[0].path = File(L"broken.jpg");
    FakeDesktop desktop;
    MonitorSetResult result = SetMonitorWallpapers(requests, bitmap, WallpaperPosition::Fill, &desktop);
    EXPECT_EQ(desktop.calls, (std::vector<std::wstring>{L"path-a " + second, L"position 4"}));
    EXPECT_EQ(test::ReadBytes(bitmap), kept);
    EXPECT_TRUE(!result.errors[0].empty() && result.errors[1].empty() && result.error.empty());
    requests[0].path = File(L"upright.bmp");
    FakeDesktop lost;
    lost.gone = L"path-a";
    result = SetMonitorWallpapers(requests, bitmap, WallpaperPosition::Fill, &lost);
    EXPECT_EQ(lost.calls,
              (std::vector<std::wstring>{L"path-b " + bitmap, L"path-a " + second, L"position 4"}));
    EXPECT_TRUE(result.errors[0].empty() && !result.errors[1].empty() && result.error.empty());
}

TEST_F(MonitorWallpaperTest, TheShellsDevicePathsGoToTheMonitorsWithTheirRectangles) {
    std::vector<Monitor> monitors = CurrentMonitors();
    ASSERT_FALSE(monitors.empty());
    FakeDesktop desktop;
    desktop.monitors.push_back({L"detached", RECT{}});
    for (size_t i = monitors.size(); i-- > 0;) {
        const MonitorRect& r = monitors[i].rect;
        monitors[i].devicePath = L"path-" + std::to_wstring(i);
        desktop.monitors.push_back({monitors[i].devicePath, RECT{r.left, r.top, r.right, r.bottom}});
    }
    EXPECT_EQ(CurrentMonitors(&desktop), monitors);
}

TEST_F(MonitorWallpaperTest, OtherMonitorsBitmapsLieBesideTheFirstAndGoWithIt) {
    EXPECT_EQ(MonitorBitmapPath(L"C:\\w\\Vesmar.bmp", 1), L"C:\\w\\Vesmar.bmp");
    EXPECT_EQ(MonitorBitmapPath(L"C:\\w.d\\Vesmar", 12), L"C:\\w.d\\Vesmar-12");
    for (const wchar_t* name : {L"Vesmar-1.bmp", L"Vesmar-2.bmp", L"Vesmar-12.bmp", L"Vesmar-012.bmp",
                                L"Vesmar-x.bmp", L"Other-2.bmp"})
        test::TempFolder::Write(File(name), "x");
    DeleteMonitorBitmaps(File(L"Vesmar.bmp"));
    EXPECT_EQ(test::FilesIn(folder.path()),
              (std::vector<std::wstring>{L"Other-2.bmp", L"Vesmar-012.bmp", L"Vesmar-1.bmp", L"Vesmar-x.bmp",
                                         L"broken.jpg", L"upright.bmp", L"wide.bmp"}));
}

// Wine with two monitors, as scripts/test has scripts/multi-monitor lay them out: 1280×800 primary,
// 768×1024 left of it.
class TwoMonitorsTest : public MonitorWallpaperTest {
  protected:
    void SetUp() override {
        monitors = CurrentMonitors();
        if (monitors.size() < 2) GTEST_SKIP() << "one monitor: run under scripts/multi-monitor";
        MonitorWallpaperTest::SetUp();
    }
    MonitorSetResult Set(const std::wstring& left, const std::wstring& right,
                         const wchar_t* previous = nullptr,
                         WallpaperPosition position = WallpaperPosition::Fill) {
        std::vector<MonitorPictureRequest> requests = {{monitors[0], left}, {monitors[1], right}};
        if (previous) requests[0].previous = previous;
        return SetMonitorWallpapers(requests, bitmap, position, nullptr);
    }
    // The colour of the bitmap at (x, y) of the virtual screen.
    long At(int x, int y) const { return test::BitmapPixel(bitmap, x + 768, y); }
    const COLORREF c = GetSysColor(COLOR_DESKTOP);
    const long desktop = static_cast<long>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
    std::vector<Monitor> monitors;
};

TEST_F(TwoMonitorsTest, OneBitmapSpansTheVirtualScreenWithEachMonitorsPicture) {
    EXPECT_EQ(monitors[0].rect, (MonitorRect{-768, 0, 0, 1024}));
    EXPECT_EQ(monitors[1].rect, (MonitorRect{0, 0, 1280, 800}));
    EXPECT_TRUE(!monitors[0].primary && monitors[1].primary);
    for (WallpaperPosition position : {WallpaperPosition::Fill, WallpaperPosition::Center}) {
        EXPECT_EQ(Set(File(L"upright.bmp"), File(L"wide.bmp"), nullptr, position).errors,
                  std::vector<std::wstring>(2));
        EXPECT_EQ(SizeOf(bitmap), std::pair(2048, 1024));
        // 居中 leaves a border round the smaller upright picture; the wide one covers the primary,
        // and below it is the desktop's colour.
        const long border = position == WallpaperPosition::Center ? desktop : Blue;
        EXPECT_EQ(std::vector({At(-768, 0), At(-384, 512), At(-1, 1023)}),
                  std::vector({border, Blue, border}));
        EXPECT_EQ(std::vector({At(0, 0), At(1279, 799), At(0, 800), At(1279, 1023)}),
                  std::vector({Red, Red, desktop, desktop}));
    }
    EXPECT_EQ(settings::GetRegistryString(HKEY_CURRENT_USER, DesktopKey, L"WallpaperStyle"), L"22");
    EXPECT_EQ(settings::GetRegistryString(HKEY_CURRENT_USER, DesktopKey, L"TileWallpaper"), L"0");
    EXPECT_EQ(settings::GetRegistryString(HKEY_CURRENT_USER, DesktopKey, L"Wallpaper"), bitmap);
}

TEST_F(TwoMonitorsTest, AMonitorWhosePictureCannotBeDecodedShowsItsPreviousOne) {
    MonitorSetResult result = Set(File(L"broken.jpg"), File(L"wide.bmp"), File(L"upright.bmp").c_str());
    EXPECT_TRUE(!result.errors[0].empty() && result.errors[1].empty() && result.error.empty());
    EXPECT_EQ(At(-384, 512), Blue);
    // Its previous one undecodable too: the desktop's colour.
    Set(File(L"broken.jpg"), File(L"wide.bmp"), File(L"missing.jpg").c_str());
    EXPECT_EQ(std::vector({At(-384, 512), At(640, 400)}), std::vector({desktop, Red}));
    // Nothing decodable: nothing is written, and the user is told.
    const std::string kept = test::ReadBytes(bitmap);
    EXPECT_FALSE(Set(File(L"broken.jpg"), File(L"missing.jpg"), File(L"upright.bmp").c_str()).error.empty());
    EXPECT_EQ(test::ReadBytes(bitmap), kept);
}

} // namespace
