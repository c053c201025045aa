#include "browser/icon_cache.h"

#include "fileinfo/file_text.h"

#include <shellapi.h>

namespace browser {
namespace {

platform::UniqueIcon SmallIcon(const std::wstring& path, DWORD attributes, UINT flags) {
    SHFILEINFOW sfi{};
    if (!SHGetFileInfoW(path.c_str(), attributes, &sfi, sizeof sfi, SHGFI_ICON | SHGFI_SMALLICON | flags))
        return {};
    return platform::UniqueIcon(sfi.hIcon);
}

} // namespace

void IconCache::Reset() {
    byType_.clear();
    int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    iml16_.reset(ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 16, 16));
    if (!iml16_) return;
    // A blank image, white as the list's background (its own colour under a high-contrast theme).
    HDC screen = GetDC(nullptr);
    platform::UniqueGdi blank(CreateCompatibleBitmap(screen, cx, cy));
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, blank.get());
    RECT r{0, 0, cx, cy};
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ImageList_Add(iml16_.get(), static_cast<HBITMAP>(blank.get()), nullptr);
    byType_[PlaceholderKey] = 0;
}

int IconCache::CacheTypeIcon(const std::wstring& path, const std::wstring& type, bool byPath,
                             DWORD attributes) {
    if (auto it = byType_.find(type); it != byType_.end()) return it->second;
    platform::UniqueIcon icon;
    if (byPath && path.size() < MAX_PATH) icon = SmallIcon(path, 0, 0);
    // Else, or for an entry gone meanwhile: the icon of its kind, which depends on the name alone.
    if (!icon)
        icon = SmallIcon(fileinfo::Dir文件夹路径2文件夹名称(path), attributes, SHGFI_USEFILEATTRIBUTES);
    int index = icon && iml16_ ? ImageList_ReplaceIcon(iml16_.get(), -1, icon.get()) : -1;
    byType_[type] = index;
    return index;
}

void IconCache::ForgetFailures() {
    std::erase_if(byType_, [](const auto& entry) { return entry.second < 0; });
}

} // namespace browser
