#include "wallpaper/folder_picker.h"

#include "settings/path_text.h"

#include <objbase.h>
#include <shlobj.h>

namespace wallpaper {
namespace {

struct PidlTraits {
    static PIDLIST_ABSOLUTE Invalid() { return nullptr; }
    static void Close(PIDLIST_ABSOLUTE p) { CoTaskMemFree(p); }
};

} // namespace

std::wstring BrowseForFolder(HWND owner) {
    BROWSEINFOW bi{};
    bi.hwndOwner = owner;
    bi.lpszTitle = L"请选择文件夹: ";
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    platform::Owned<PIDLIST_ABSOLUTE, PidlTraits> chosen(SHBrowseForFolderW(&bi));
    wchar_t path[MAX_PATH] = L"";
    if (!chosen || !SHGetPathFromIDListW(chosen.get(), path) || !path[0]) return {};
    return settings::AddTrailingBackslash(path);
}

} // namespace wallpaper
