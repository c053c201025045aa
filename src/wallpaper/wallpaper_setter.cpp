#include "wallpaper/wallpaper_setter.h"

#include "core/identity.h"
#include "core/places.h"
#include "settings/registry.h"
#include "wallpaper/picture_files.h"

namespace wallpaper {

std::wstring SetWallpaper(const Picture& picture, const std::wstring& bitmapPath) {
    // The user's own folder of the program is made when the first wallpaper goes there.
    if (std::wstring folder = core::FolderPart(bitmapPath); folder.size() > 1) {
        folder.pop_back();
        if (!core::CreateFolders(folder))
            return L"无法保存墙纸图片：" + bitmapPath + L"\n" + ErrorText(GetLastError());
    }
    if (std::wstring error = SaveAsBitmap(picture, bitmapPath); !error.empty()) return error;
    // The desktop settings and the reload follow the file whatever each of them reports.
    settings::SetRegistryValue(DesktopKey, L"TileWallpaper", L"0", REG_SZ, HKEY_CURRENT_USER);
    settings::SetRegistryValue(DesktopKey, L"WallpaperStyle", L"0", REG_SZ, HKEY_CURRENT_USER);
    settings::SetRegistryValue(DesktopKey, L"Wallpaper", bitmapPath, REG_SZ, HKEY_CURRENT_USER);
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(bitmapPath.c_str()),
                          SPIF_UPDATEINIFILE);
    return {};
}

} // namespace wallpaper
