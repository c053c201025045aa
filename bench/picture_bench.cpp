// The picture tab's speed and memory: selecting a 6000 × 4000 JPEG until its preview is drawn,
// beside WIC decoding the same file alone, in one run; then the process's memory with one picture
// loaded and after 200 more; last, setting it as the wallpaper with 填充 on a 1920 × 1080 screen beside
// 居中, in the same run.
#include "bench/timing.h"
#include "settings/registry.h"
#include "tests/support/temp_folder.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/page/picture_page.h"
#include "wallpaper/laying/wallpaper_setter.h"

#include <algorithm>
#include <cstdio>
#include <psapi.h>
#include <vector>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

using bench::Median;
using bench::Now;

// What WIC alone takes: open, decode the frame and copy out every pixel.
double DecodeAlone(const std::wstring& file) {
    double t0 = Now();
    ComPtr<IWICImagingFactory> f;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&f));
    f->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                 &decoder);
    decoder->GetFrame(0, &frame);
    UINT w = 0, h = 0;
    frame->GetSize(&w, &h);
    UINT stride = (w * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * h);
    frame->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data());
    return Now() - t0;
}

struct Memory {
    double privateMb, workingSetMb;
};
// Private bytes counted from the address space itself (Wine leaves the counter at zero).
Memory MemoryNow() {
    size_t committed = 0;
    MEMORY_BASIC_INFORMATION info;
    for (BYTE* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info; at += info.RegionSize)
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) committed += info.RegionSize;
    PROCESS_MEMORY_COUNTERS m{};
    GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m);
    return {double(committed) / 1048576, double(m.WorkingSetSize) / 1048576};
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

// Handles messages until the picture asked for is shown.
void Settle(const wallpaper::PicturePage& page) {
    while (page.PictureWorkPending())
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT) == WAIT_OBJECT_0) Pump();
}

} // namespace

int main() {
    test::UseCom();
    test::TempFolder temp(L"picture-bench");
    struct NoHost : wallpaper::PictureHost {
        void ShowDownloadWindow() override {}
    } noHost;
    settings::AppSettings settings;
    // The pictures lie in the picture folder itself, so selecting them copies nothing.
    std::wstring big = temp.path() + L"\\Tavolin壁纸";
    core::ProgramPlaces places{temp.path(), L"Quorvel", temp.path() + L"\\Vesmar.bmp", big};
    std::wstring many = temp.path() + L"\\many";
    CreateDirectoryW(big.c_str(), nullptr);
    CreateDirectoryW(many.c_str(), nullptr);
    std::printf("making the test pictures...\n");
    if (!test::WritePicture(big + L"\\big.jpg", GUID_ContainerFormatJpeg, 6000, 4000)) return 1;
    for (int i = 0; i < 4; ++i)
        test::WritePicture(many + L"\\" + std::to_wstring(i) + L".jpg", GUID_ContainerFormatJpeg,
                           2400 + 200 * i, 1600 + 100 * i);

    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PictureBenchHost";
    RegisterClassW(&wc);
    HWND host = CreateWindowW(wc.lpszClassName, L"Tavolin", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 600,
                              nullptr, nullptr, wc.hInstance, nullptr);
    wallpaper::PicturePage page(noHost, settings, places);
    page.Build(host, ui::IDC_Page1, nullptr, 96);
    SetWindowPos(page.hwnd(), nullptr, 0, 0, 880, 560, SWP_NOZORDER | SWP_SHOWWINDOW);
    SetWindowPos(page.P_back, nullptr, 200, 10, 660, 440, SWP_NOZORDER);
    Pump();

    Memory before = MemoryNow();
    page.SetPath(big);
    std::vector<double> alone, tab;
    for (int i = 0; i < 5; ++i) {
        alone.push_back(DecodeAlone(big + L"\\big.jpg"));
        double t0 = Now();
        page.SetListIndex(0);
        Settle(page);
        UpdateWindow(page.P_back);
        tab.push_back(Now() - t0);
        Pump();
    }
    double a = Median(alone), t = Median(tab);
    std::printf("6000x4000 JPEG, median of 5 runs each:\n");
    std::printf("  WIC decode alone:            %.3f s\n", a);
    std::printf("  File1_Click to preview drawn: %.3f s\n", t);
    std::printf("  ratio: %.2f (goal: at most 1.30)\n", t / a);

    Memory one = MemoryNow();
    auto shown = page.Preview().Shown();
    double full = 6000.0 * 4000 * 3 / 1048576,
           preview = shown ? shown->width * shown->height * 4.0 / 1048576 : 0;
    std::printf("memory with the big picture loaded: private %.1f MB (%.1f MB more than with the built-in "
                "picture), working set %.1f MB\n",
                one.privateMb, one.privateMb - before.privateMb, one.workingSetMb);
    std::printf("  one full-size copy is %.1f MB, the preview copy %.1f MB\n", full, preview);

    page.SetPath(many);
    page.SetListIndex(0);
    Settle(page);
    Memory first = MemoryNow();
    for (int i = 1; i <= 200; ++i) {
        page.SetListIndex(i % 4);
        Settle(page);
        UpdateWindow(page.P_back);
    }
    page.SetListIndex(0);
    Settle(page);
    Memory after = MemoryNow();
    std::printf("memory after 1 picture of the set: private %.1f MB, working set %.1f MB\n", first.privateMb,
                first.workingSetMb);
    std::printf("memory after 200 more pictures:    private %.1f MB, working set %.1f MB\n", after.privateMb,
                after.workingSetMb);

    // The desktop's values are put back afterwards.
    using settings::WallpaperPosition;
    const wchar_t* names[] = {L"TileWallpaper", L"WallpaperStyle", L"Wallpaper"};
    std::wstring saved[3];
    for (int i = 0; i < 3; ++i)
        saved[i] = settings::GetRegistryString(HKEY_CURRENT_USER, wallpaper::DesktopKey, names[i]);
    // The picture as the preview holds it (the folder has collected the others by now).
    std::optional<wallpaper::Picture> picture = wallpaper::Picture::Load(big + L"\\big.jpg");
    if (!picture) return 1;
    const std::wstring bitmap = temp.path() + L"\\Vesmar.bmp";
    std::vector<double> centre, fill, whole;
    double centreBytes = 0, fillBytes = 0, wholeBytes = 0;
    auto set = [&](WallpaperPosition position, std::vector<double>& times, double& bytes,
                   wallpaper::ScreenSize screen = {1920, 1080}) {
        double t0 = Now();
        std::wstring error = wallpaper::SetWallpaper(*picture, bitmap, position, screen);
        times.push_back(Now() - t0);
        WIN32_FILE_ATTRIBUTE_DATA a{};
        GetFileAttributesExW(bitmap.c_str(), GetFileExInfoStandard, &a);
        bytes = double(a.nFileSizeLow) + double(a.nFileSizeHigh) * 4294967296.0;
        if (!error.empty()) std::printf("failed to set the wallpaper\n");
    };
    for (int i = 0; i < 9; ++i) {
        set(WallpaperPosition::Center, centre, centreBytes);
        set(WallpaperPosition::Fill, fill, fillBytes);
        // 居中 as it was written before: the whole picture, whatever the screen.
        set(WallpaperPosition::Center, whole, wholeBytes, {});
    }
    for (int i = 0; i < 3; ++i)
        settings::SetRegistryValue(wallpaper::DesktopKey, names[i], saved[i], REG_SZ, HKEY_CURRENT_USER);
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(saved[2].c_str()),
                          SPIF_UPDATEINIFILE);
    double c = Median(centre), f = Median(fill), w = Median(whole);
    std::printf("setting the 6000x4000 JPEG as wallpaper on a 1920x1080 screen, median of 9 runs each:\n");
    std::printf("  居中 whole (as before): %.3f s, bitmap %.1f MB\n", w, wholeBytes / 1048576);
    std::printf("  居中 cropped:           %.3f s, bitmap %.1f MB\n", c, centreBytes / 1048576);
    std::printf("  填充:                   %.3f s, bitmap %.1f MB\n", f, fillBytes / 1048576);
    std::printf(
        "  居中 cropped to whole: bytes ratio %.3f (goal: at most 0.10), time ratio %.2f (goal: at most "
        "0.60)\n",
        centreBytes / wholeBytes, c / w);
    std::printf("  填充 to 居中 whole: bytes ratio %.3f, time ratio %.2f\n", fillBytes / wholeBytes, f / w);
    DestroyWindow(host);
    return 0;
}
