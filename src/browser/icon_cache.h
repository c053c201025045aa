// The folder list's small icons: one image per type name, asked of the shell the first time a type is met.
#pragma once
#include "platform/win.h"

#include <commctrl.h>
#include <string>
#include <unordered_map>

namespace browser {

struct ImageListTraits {
    static HIMAGELIST Invalid() { return nullptr; }
    static void Close(HIMAGELIST h) { ImageList_Destroy(h); }
};
using UniqueImageList = platform::Owned<HIMAGELIST, ImageListTraits>;

class IconCache {
  public:
    // Image 0, under a key no type name equals; never shown by a row.
    static constexpr wchar_t PlaceholderKey[] = L"\x1 placeholder";

    // Empties the cache: a new image list holding only the placeholder.
    void Reset();
    HIMAGELIST iml16() const { return iml16_.get(); }
    int Count() const { return iml16_ ? ImageList_GetImageCount(iml16_.get()) : 0; }

    // The image keyed by `type`, added with the shell's small icon for `path` when the type is new:
    // asked for the entry itself when `byPath` (its icon may be its own), else for any entry with its
    // attributes and extension. -1 when the shell gives no icon.
    int CacheTypeIcon(const std::wstring& path, const std::wstring& type, bool byPath, DWORD attributes);
    // Types whose icon could not be had are tried again from the next listing on.
    void ForgetFailures();

  private:
    UniqueImageList iml16_;
    std::unordered_map<std::wstring, int> byType_;
};

} // namespace browser
