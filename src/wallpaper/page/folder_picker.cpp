#include "wallpaper/page/folder_picker.h"

#include "settings/path_text.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

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
    // The path at any length, not cut at MAX_PATH.
    wchar_t* path = nullptr;
    if (!chosen || FAILED(SHGetNameFromIDList(chosen.get(), SIGDN_FILESYSPATH, &path))) return {};
    std::wstring folder = path;
    CoTaskMemFree(path);
    return folder.empty() ? folder : settings::AddTrailingBackslash(folder);
}

} // namespace wallpaper
