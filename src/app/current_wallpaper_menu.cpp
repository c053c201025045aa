#include "app/current_wallpaper_menu.h"

#include "browser/file_clipboard.h"
#include "res/resource.h"
#include "settings/registry.h"
#include "wallpaper/pictures/picture_files.h"

#include <shellapi.h>
#include <shlobj.h>

namespace app {
namespace {

// The items of one picture, after its name: their offsets from the picture's first id.
enum Item { Name, InFolder, CopyPicture, CopyPath, Favourite, Never, Items = 8 };

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace

CurrentWallpaperMenu::CurrentWallpaperMenu(HMENU tray, wallpaper::PicturePage& pictures,
                                           wallpaper::AutoChange& change, const std::wstring& bitmapPath)
    : page_(pictures), change_(change), bitmapPath_(bitmapPath) {
    for (int i = 0, n = GetMenuItemCount(tray); i < n && !menu_; ++i)
        if (HMENU sub = GetSubMenu(tray, i); sub && GetMenuItemID(sub, 0) == ID_menu当前墙纸) menu_ = sub;
}

void CurrentWallpaperMenu::Fill() {
    if (!menu_) return;
    while (GetMenuItemCount(menu_) > 0)
        DeleteMenu(menu_, 0, MF_BYPOSITION);
    pictures_.clear();
    // Ours while the desktop shows the program's bitmap (or one of the monitors' bitmaps beside it).
    wchar_t shown[MAX_PATH * 2] = L"";
    SystemParametersInfoW(SPI_GETDESKWALLPAPER, ARRAYSIZE(shown), shown, 0);
    const std::wstring stem = bitmapPath_.substr(0, bitmapPath_.find_last_of(L'.'));
    const bool ours = !bitmapPath_.empty() && wcslen(shown) >= stem.size() &&
                      CompareStringOrdinal(shown, static_cast<int>(stem.size()), stem.c_str(),
                                           static_cast<int>(stem.size()), TRUE) == CSTR_EQUAL;
    const wallpaper::Arrangement arrangement = ours ? page_.ArrangementShown() : wallpaper::Arrangement{};
    if (arrangement.empty()) {
        AppendMenuW(menu_, MF_STRING | MF_GRAYED, ID_menu当前墙纸, L"当前墙纸不是由本程序设置的");
        return;
    }
    if (arrangement.size() == 1 && arrangement[0].monitor.empty()) {
        pictures_.push_back(arrangement[0].path);
        return AddItems(menu_, 0);
    }
    // One submenu for each monitor, named as the list menu's "设为墙纸" names it.
    std::vector<wallpaper::Monitor> monitors = page_.Monitors();
    for (size_t i = 0; i < monitors.size() && pictures_.size() * Items < ID_menu当前墙纸Last - ID_menu当前墙纸; ++i)
        for (const wallpaper::MonitorPicture& m : arrangement)
            if (m.monitor == wallpaper::MonitorKey(monitors[i])) {
                HMENU sub = CreatePopupMenu();
                pictures_.push_back(m.path);
                AddItems(sub, pictures_.size() - 1);
                AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(sub),
                            wallpaper::MonitorLabel(monitors[i], static_cast<int>(i) + 1).c_str());
            }
}

void CurrentWallpaperMenu::AddItems(HMENU menu, size_t picture) {
    const std::wstring& path = pictures_[picture];
    const UINT first = static_cast<UINT>(ID_menu当前墙纸 + 1 + picture * Items);
    if (!settings::FileCanBeOpened(path)) {
        AppendMenuW(menu, MF_STRING | MF_GRAYED, first + Name, L"文件已不存在");
        return;
    }
    // Named as the list names it where it lies in the picture folder.
    const std::wstring top = page_.Path() + L"\\";
    const bool inside = path.size() > top.size() && SamePath(path.substr(0, top.size()), top);
    AppendMenuW(menu, MF_STRING | MF_GRAYED, first + Name, (inside ? path.substr(top.size()) : path).c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, first + InFolder, L"在文件夹中显示");
    AppendMenuW(menu, MF_STRING, first + CopyPicture, L"复制图片");
    AppendMenuW(menu, MF_STRING, first + CopyPath, L"复制路径");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    const wallpaper::Mark mark = page_.MarkOf(path);
    AppendMenuW(menu, MF_STRING | (mark == wallpaper::Mark::Favourite ? MF_CHECKED : 0), first + Favourite, L"收藏");
    AppendMenuW(menu, MF_STRING | (mark == wallpaper::Mark::Never ? MF_CHECKED : 0), first + Never, L"不再显示");
}

bool CurrentWallpaperMenu::OnCommand(int id, HWND window) {
    if (id <= ID_menu当前墙纸 || id > ID_menu当前墙纸Last) return false;
    const size_t picture = static_cast<size_t>(id - ID_menu当前墙纸 - 1) / Items;
    if (picture >= pictures_.size()) return true;
    const std::wstring path = pictures_[picture];
    switch ((id - ID_menu当前墙纸 - 1) % Items) {
    case InFolder:
        ShowInFolder(path);
        break;
    case CopyPicture:
        browser::PutFilesOnClipboard(window, {path}, false);
        break;
    case CopyPath:
        PutTextOnClipboard(window, L"\"" + path + L"\"");
        break;
    case Favourite:
        change_.ToggleMark(path, wallpaper::Mark::Favourite);
        break;
    case Never:
        change_.ToggleMark(path, wallpaper::Mark::Never);
        break;
    }
    return true;
}

bool ShowInFolder(const std::wstring& path) {
    if (PIDLIST_ABSOLUTE item = ILCreateFromPathW(path.c_str())) {
        const HRESULT hr = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
        ILFree(item);
        if (SUCCEEDED(hr)) return true;
    }
    const std::wstring arguments = L"/select,\"" + path + L"\"";
    return reinterpret_cast<INT_PTR>(
               ShellExecuteW(nullptr, L"open", L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL)) > 32;
}

bool PutTextOnClipboard(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool done = false;
    if (void* at = memory ? GlobalLock(memory) : nullptr) {
        memcpy(at, text.c_str(), bytes);
        GlobalUnlock(memory);
        done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!done && memory) GlobalFree(memory);
    CloseClipboard();
    return done;
}

} // namespace app
