#include "wallpaper/laying/monitor_wallpaper.h"

#include "core/identity.h"
#include "core/places.h"
#include "settings/registry.h"
#include "wallpaper/pictures/picture.h"
#include "wallpaper/pictures/picture_files.h"
#include "wallpaper/laying/picture_work.h"
#include "wallpaper/laying/wallpaper_setter.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace wallpaper {

using Microsoft::WRL::ComPtr;
using settings::WallpaperPosition;

std::vector<Monitor> CurrentMonitors(IDesktopWallpaper* desktop) {
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, RECT*, LPARAM lp) -> BOOL {
            MONITORINFOEXW info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info)) {
                const RECT& r = info.rcMonitor;
                reinterpret_cast<std::vector<Monitor>*>(lp)->push_back(
                    {info.szDevice,
                     {},
                     {r.left, r.top, r.right, r.bottom},
                     (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    UINT count = 0;
    if (desktop && SUCCEEDED(desktop->GetMonitorDevicePathCount(&count))) {
        // The shell names its monitors by device path and knows them by rectangle only. Monitors that
        // are attached but not shown are listed too; their rectangle matches none.
        for (UINT i = 0; i < count; ++i) {
            LPWSTR id = nullptr;
            RECT r{};
            if (SUCCEEDED(desktop->GetMonitorDevicePathAt(i, &id)) && id &&
                SUCCEEDED(desktop->GetMonitorRECT(id, &r))) {
                const MonitorRect rect{r.left, r.top, r.right, r.bottom};
                auto m = std::find_if(monitors.begin(), monitors.end(), [&](const Monitor& m) {
                    return m.devicePath.empty() && m.rect == rect;
                });
                if (m != monitors.end()) m->devicePath = id;
            }
            CoTaskMemFree(id);
        }
    }
    SortMonitors(monitors);
    return monitors;
}

ComPtr<IDesktopWallpaper> SystemDesktopWallpaper() {
    ComPtr<IDesktopWallpaper> desktop;
    CoCreateInstance(CLSID_DesktopWallpaper, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&desktop));
    return desktop;
}

std::wstring MonitorBitmapPath(const std::wstring& bitmapPath, int number) {
    if (number <= 1) return bitmapPath;
    size_t dot = bitmapPath.rfind(L'.');
    if (dot == std::wstring::npos || dot < core::FolderPart(bitmapPath).size()) dot = bitmapPath.size();
    return bitmapPath.substr(0, dot) + L"-" + std::to_wstring(number) + bitmapPath.substr(dot);
}

namespace {

// The picture decoded no larger than monitor `m` needs it for `position`.
std::optional<Picture> Decode(const std::wstring& path, const Monitor& m, WallpaperPosition position,
                              std::wstring& why) {
    const DecodeTarget target{DecodeTarget::Use::Wallpaper, m.rect.Width(), m.rect.Height(), position};
    std::optional<Picture> picture = LoadPicture(path, target, &why);
    if (!picture && why.empty())
        why = L"无法显示图片：" + (path.empty() ? std::wstring(L"程序自带的图片") : path);
    return picture;
}

BitmapPlan PlanFor(const Picture& picture, const Monitor& m, WallpaperPosition position) {
    return PlanBitmap(position, static_cast<int>(picture.Width()), static_cast<int>(picture.Height()),
                      m.rect.Width(), m.rect.Height());
}

// The bitmap's folder, made when missing; the reason when it cannot be.
std::wstring MakeFolderOf(const std::wstring& bitmapPath) {
    if (std::wstring folder = core::FolderPart(bitmapPath); folder.size() > 1) {
        folder.pop_back();
        if (!core::CreateFolders(folder))
            return L"无法保存墙纸图片：" + bitmapPath + L"\n" + ErrorText(GetLastError());
    }
    return {};
}

// For the user when no monitor got its picture: each distinct reason once.
std::wstring NothingSet(const std::vector<std::wstring>& errors) {
    std::wstring text = L"没能给任何一台显示器换上墙纸。";
    std::vector<std::wstring> said;
    for (const std::wstring& e : errors)
        if (!e.empty() && std::find(said.begin(), said.end(), e) == said.end()) {
            said.push_back(e);
            text += L"\n\n" + e;
        }
    return text;
}

DESKTOP_WALLPAPER_POSITION DesktopPosition(WallpaperPosition position) {
    switch (position) {
    case WallpaperPosition::Fit:
        return DWPOS_FIT;
    case WallpaperPosition::Stretch:
        return DWPOS_STRETCH;
    case WallpaperPosition::Tile:
        return DWPOS_TILE;
    case WallpaperPosition::Center:
        return DWPOS_CENTER;
    case WallpaperPosition::Fill:
    case WallpaperPosition::Span: // each monitor's bitmap is made for that monitor alone
        break;
    }
    return DWPOS_FILL;
}

// Each monitor's own bitmap, given to the shell by its device path.
void SetEach(const std::vector<MonitorPictureRequest>& requests, const std::wstring& bitmapPath,
             WallpaperPosition position, IDesktopWallpaper* desktop, MonitorSetResult& result) {
    std::vector<size_t> written;
    for (size_t i = 0; i < requests.size(); ++i) {
        const Monitor& m = requests[i].monitor;
        std::wstring& why = result.errors[i];
        if (m.devicePath.empty()) {
            why = L"无法设置" + MonitorLabel(m, static_cast<int>(i) + 1) +
                  L"的墙纸：系统的墙纸设置里没有这台显示器。";
            continue;
        }
        std::optional<Picture> picture = Decode(requests[i].path, m, position, why);
        if (!picture) continue;
        why = SaveAsBitmap(*picture, MonitorBitmapPath(bitmapPath, static_cast<int>(i) + 1),
                           PlanFor(*picture, m, position));
        if (why.empty()) written.push_back(i);
    }
    bool any = false;
    for (size_t i : written) {
        const Monitor& m = requests[i].monitor;
        const std::wstring file = MonitorBitmapPath(bitmapPath, static_cast<int>(i) + 1);
        if (HRESULT hr = desktop->SetWallpaper(m.devicePath.c_str(), file.c_str()); FAILED(hr))
            result.errors[i] = L"无法设置" + MonitorLabel(m, static_cast<int>(i) + 1) + L"的墙纸：" +
                               ErrorText(static_cast<DWORD>(hr));
        else
            any = true;
    }
    if (any) desktop->SetPosition(DesktopPosition(position));
}

// Draws the picture of `path` into monitor `m`'s rectangle of the canvas; false, with the reason,
// when it cannot be decoded.
bool Draw(const std::wstring& path, const Monitor& m, WallpaperPosition position, MonitorRect screen,
          uint8_t* canvas, size_t stride, uint32_t background, std::wstring& why) {
    std::optional<Picture> picture = Decode(path, m, position, why);
    if (!picture) return false;
    const BitmapPlan plan = PlanFor(*picture, m, position);
    DWORD error = UsePlannedPixels(*picture, plan, [&](const uint8_t* src, size_t srcStride) {
        ComposeMonitor(src, plan.outWidth, plan.outHeight, srcStride, position, m.rect, screen, canvas,
                       stride, background);
    });
    if (error) why = L"无法显示图片：" + path + L"\n" + ErrorText(error);
    return !error;
}

// One bitmap as large as the virtual screen, which the desktop spans over all monitors.
void SetComposed(const std::vector<MonitorPictureRequest>& requests, const std::wstring& bitmapPath,
                 WallpaperPosition position, MonitorSetResult& result) {
    std::vector<Monitor> monitors;
    for (const MonitorPictureRequest& r : requests)
        monitors.push_back(r.monitor);
    const MonitorRect screen = VirtualScreen(monitors);
    const int w = screen.Width(), h = screen.Height();
    const size_t stride = static_cast<size_t>(w) * 3;
    std::vector<uint8_t> canvas;
    try {
        canvas.resize(stride * static_cast<size_t>(h));
    } catch (const std::bad_alloc&) {
        result.error = L"内存不足，无法拼出所有显示器的墙纸。";
        return;
    }
    const uint32_t background = GetSysColor(COLOR_DESKTOP);
    FillBackground(canvas.data(), w, h, stride, background);
    bool any = false;
    for (size_t i = 0; i < requests.size(); ++i) {
        const MonitorPictureRequest& r = requests[i];
        if (Draw(r.path, r.monitor, position, screen, canvas.data(), stride, background, result.errors[i])) {
            any = true;
            continue;
        }
        std::wstring ignored;
        if (r.previous)
            Draw(*r.previous, r.monitor, position, screen, canvas.data(), stride, background, ignored);
    }
    // Only what the desktop shows already: nothing to write.
    if (!any) return;
    if (std::wstring error = SaveAsBitmap(canvas.data(), w, h, stride, bitmapPath); !error.empty()) {
        for (std::wstring& e : result.errors)
            if (e.empty()) e = error;
        return;
    }
    settings::SetRegistryValue(DesktopKey, L"TileWallpaper", L"0", REG_SZ, HKEY_CURRENT_USER);
    settings::SetRegistryValue(DesktopKey, L"WallpaperStyle", StyleOf(WallpaperPosition::Span).wallpaperStyle,
                               REG_SZ, HKEY_CURRENT_USER);
    settings::SetRegistryValue(DesktopKey, L"Wallpaper", bitmapPath, REG_SZ, HKEY_CURRENT_USER);
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(bitmapPath.c_str()),
                          SPIF_UPDATEINIFILE);
}

} // namespace

MonitorSetResult SetMonitorWallpapers(const std::vector<MonitorPictureRequest>& requests,
                                      const std::wstring& bitmapPath, WallpaperPosition position,
                                      IDesktopWallpaper* desktop) {
    MonitorSetResult result;
    result.errors.resize(requests.size());
    if (requests.empty()) {
        result.error = L"没有找到显示器。";
        return result;
    }
    if (std::wstring error = MakeFolderOf(bitmapPath); !error.empty()) {
        result.errors.assign(requests.size(), error);
        result.error = NothingSet(result.errors);
        return result;
    }
    if (desktop)
        SetEach(requests, bitmapPath, position, desktop, result);
    else
        SetComposed(requests, bitmapPath, position, result);
    if (result.error.empty() && std::all_of(result.errors.begin(), result.errors.end(),
                                            [](const std::wstring& e) { return !e.empty(); }))
        result.error = NothingSet(result.errors);
    return result;
}

void DeleteMonitorBitmaps(const std::wstring& bitmapPath) {
    const std::wstring folder = core::FolderPart(bitmapPath);
    const std::wstring name = core::NamePart(bitmapPath);
    const size_t dot = std::min(name.rfind(L'.'), name.size());
    const std::wstring stem = name.substr(0, dot) + L"-", extension = name.substr(dot);
    WIN32_FIND_DATAW fd;
    platform::UniqueFind find(FindFirstFileExW(platform::LongPath(folder + stem + L"*" + extension).c_str(),
                                               FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr, 0));
    if (!find) return;
    do {
        // Only the names MonitorBitmapPath gives: the wildcard takes any text, and short names too.
        const std::wstring found = fd.cFileName;
        const int n = found.size() > extension.size()
                          ? MonitorNumber(found.substr(0, found.size() - extension.size()))
                          : 0;
        if (n >= 2 && !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            CompareStringOrdinal(core::NamePart(MonitorBitmapPath(bitmapPath, n)).c_str(), -1, found.c_str(),
                                 -1, TRUE) == CSTR_EQUAL)
            DeleteFileW(platform::LongPath(folder + found).c_str());
    } while (FindNextFileW(find.get(), &fd));
}

} // namespace wallpaper
