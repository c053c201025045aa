#include "app/program_places.h"

#include "core/identity.h"
#include "core/places.h"
#include "platform/win.h"
#include "settings/registry.h"
#include "wallpaper/pictures/thumbnail_cache.h"

#include <shlobj.h>

namespace app {
using namespace core;
namespace {

constexpr wchar_t ShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::wstring KnownFolder(int csidl) {
    wchar_t buf[MAX_PATH] = L"";
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf)) ? buf : L"";
}

std::wstring TrimTrailing(std::wstring s) {
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\0'))
        s.pop_back();
    return s;
}

// The folder and name the program runs from.
void FindProgramFolder(ProgramPlaces& places) {
    std::wstring exe = platform::ModulePath();
    places.ProgramFolder = FolderPart(exe);
    if (!places.ProgramFolder.empty()) places.ProgramFolder.pop_back();
    std::wstring& name = places.ExecutableName = NamePart(exe);
    if (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".exe") == 0)
        name.resize(name.size() - 4);
}

} // namespace

void FindProgramPlaces(ProgramPlaces& places) {
    if (places.ProgramFolder.empty()) FindProgramFolder(places);
    // Where the program folder takes no new files (under "Program Files"), pictures go to the user's.
    if (places.PictureFolder.empty())
        places.PictureFolder = PictureFolderPlace(places.ProgramFolder, UserProgramFolder());
}

void FindUserFiles(ProgramPlaces& places, const std::wstring& windowsFolder) {
    if (places.WallpaperBitmapPath.empty())
        places.WallpaperBitmapPath = WallpaperBitmapPlace(windowsFolder, UserProgramFolder());
    if (places.HistoryPath.empty())
        if (std::wstring user = UserProgramFolder(); !user.empty()) places.HistoryPath = user + HistoryFileName;
    if (places.MarksPath.empty())
        if (std::wstring user = UserProgramFolder(); !user.empty()) places.MarksPath = user + L"\\图片标记.txt";
    if (places.ThumbnailFolder.empty())
        if (std::wstring user = UserProgramFolder(); !user.empty())
            places.ThumbnailFolder = user + L"\\" + wallpaper::ThumbnailFolderName;
}

// The special folders that the browser offers besides the desktop and the Windows folder.
void FindSpecialFolders(FolderPaths& folders) {
    wchar_t temp[MAX_PATH * 2] = L"";
    DWORD n = GetEnvironmentVariableW(L"TEMP", temp, ARRAYSIZE(temp));
    folders.Temp = n && n < ARRAYSIZE(temp) ? temp : L"";
    folders.BrowserCache = settings::GetRegistryString(
        HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths",
        L"Directory");
    if (folders.BrowserCache.empty()) folders.BrowserCache = KnownFolder(CSIDL_INTERNET_CACHE);
    folders.Documents = settings::GetRegistryString(HKEY_CURRENT_USER, ShellFolders, L"Personal");
    if (folders.Documents.empty()) folders.Documents = KnownFolder(CSIDL_PERSONAL);
    folders.System = SystemFolder();
}

std::wstring WindowsFolder() {
    wchar_t buf[MAX_PATH] = L"";
    UINT n = GetWindowsDirectoryW(buf, ARRAYSIZE(buf));
    if (n && n < ARRAYSIZE(buf)) return TrimTrailing(buf);
    // Without it the wallpaper file would land in the working folder; the system root is the same place.
    n = GetEnvironmentVariableW(L"SystemRoot", buf, ARRAYSIZE(buf));
    return n && n < ARRAYSIZE(buf) ? buf : L"C:\\Windows";
}

std::wstring SystemFolder() {
    wchar_t buf[MAX_PATH] = L"";
    UINT n = GetSystemDirectoryW(buf, ARRAYSIZE(buf));
    return n && n < ARRAYSIZE(buf) ? std::wstring(buf, n) : std::wstring();
}

std::wstring DesktopFolder() {
    std::wstring path = settings::GetRegistryString(HKEY_CURRENT_USER, ShellFolders, L"Desktop");
    return path.empty() ? KnownFolder(CSIDL_DESKTOPDIRECTORY) : path;
}

} // namespace app
