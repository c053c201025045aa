#include "wallpaper/laying/wallpaper_setter.h"

#include "core/identity.h"
#include "core/places.h"
#include "settings/registry.h"
#include "wallpaper/pictures/picture_files.h"

#include <algorithm>

namespace wallpaper {

ScreenSize ScreenFor(settings::WallpaperPosition position) {
    if (position == settings::WallpaperPosition::Span)
        return {GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (position == settings::WallpaperPosition::Center) {
        // Each monitor shows the middle of the bitmap: the widest and the tallest bound what is seen.
        ScreenSize largest;
        EnumDisplayMonitors(
            nullptr, nullptr,
            [](HMONITOR monitor, HDC, RECT*, LPARAM lp) -> BOOL {
                MONITORINFO info{sizeof info};
                auto* s = reinterpret_cast<ScreenSize*>(lp);
                if (GetMonitorInfoW(monitor, &info)) {
                    s->width = std::max<int>(s->width, info.rcMonitor.right - info.rcMonitor.left);
                    s->height = std::max<int>(s->height, info.rcMonitor.bottom - info.rcMonitor.top);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&largest));
        if (largest.width > 0 && largest.height > 0) return largest;
    }
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::wstring SetWallpaper(const Picture& picture, const std::wstring& bitmapPath,
                          settings::WallpaperPosition position, ScreenSize screen) {
    // The user's own folder of the program is made when the first wallpaper goes there.
    if (std::wstring folder = core::FolderPart(bitmapPath); folder.size() > 1) {
        folder.pop_back();
        if (!core::CreateFolders(folder))
            return L"无法保存墙纸图片：" + bitmapPath + L"\n" + ErrorText(GetLastError());
    }
    BitmapPlan plan = PlanBitmap(position, static_cast<int>(picture.Width()),
                                 static_cast<int>(picture.Height()), screen.width, screen.height);
    if (std::wstring error = SaveAsBitmap(picture, bitmapPath, plan); !error.empty()) return error;
    // The desktop settings and the reload follow the file whatever each of them reports.
    DesktopStyle style = StyleOf(position);
    settings::SetRegistryValue(DesktopKey, L"TileWallpaper", style.tileWallpaper, REG_SZ, HKEY_CURRENT_USER);
    settings::SetRegistryValue(DesktopKey, L"WallpaperStyle", style.wallpaperStyle, REG_SZ,
                               HKEY_CURRENT_USER);
    settings::SetRegistryValue(DesktopKey, L"Wallpaper", bitmapPath, REG_SZ, HKEY_CURRENT_USER);
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(bitmapPath.c_str()),
                          SPIF_UPDATEINIFILE);
    return {};
}

bool IsCurrentWallpaper(const std::wstring& bitmapPath) {
    std::wstring current = settings::GetRegistryString(HKEY_CURRENT_USER, DesktopKey, L"Wallpaper");
    return !current.empty() &&
           CompareStringOrdinal(current.c_str(), -1, bitmapPath.c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace wallpaper
