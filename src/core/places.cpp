#include "core/places.h"

#include "core/identity.h"
#include "platform/whole_file.h"
#include "platform/win.h"

#include <shlobj.h>

namespace core {
namespace {

constexpr wchar_t UserFolderName[] = L"\\Tavolin";

bool IsFolder(const std::wstring& path) {
    DWORD a = GetFileAttributesW(platform::LongPath(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool CanCreateFileIn(const std::wstring& folder) {
    if (folder.empty()) return false;
    static unsigned count = 0;
    std::wstring probe = folder + L"\\~tavolin-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                         std::to_wstring(++count) + L".tmp";
    // Removed by the system when closed, even when this process ends right here.
    platform::UniqueHandle file(CreateFileW(platform::LongPath(probe).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                            nullptr));
    return static_cast<bool>(file);
}

std::wstring UserProgramFolder() {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DONT_VERIFY, nullptr, &path)))
        folder = path;
    CoTaskMemFree(path);
    return folder.empty() ? folder : folder + UserFolderName;
}

std::wstring WallpaperBitmapPlace(const std::wstring& windowsFolder, const std::wstring& userFolder) {
    if (userFolder.empty() || CanCreateFileIn(windowsFolder)) return windowsFolder + WallpaperFileName;
    return userFolder + WallpaperFileName;
}

std::wstring PictureFolderPlace(const std::wstring& programFolder, const std::wstring& userFolder) {
    const std::wstring beside = programFolder + PictureFolderName;
    if (userFolder.empty() || CanCreateFileIn(IsFolder(beside) ? beside : programFolder)) return beside;
    return userFolder + PictureFolderName;
}

bool CreateFolders(const std::wstring& folder) {
    if (folder.empty() || IsFolder(folder)) return true;
    size_t slash = folder.find_last_of(L'\\');
    // A drive or share root that is not there cannot be made.
    if (slash != std::wstring::npos && slash > 2 && !CreateFolders(folder.substr(0, slash))) return false;
    if (CreateDirectoryW(platform::LongPath(folder).c_str(), nullptr)) return true;
    // Made meanwhile by someone else counts; a file of that name does not.
    DWORD error = GetLastError();
    if (IsFolder(folder)) return true;
    SetLastError(error);
    return false;
}

bool WriteProgramFile(const std::wstring& path, const std::wstring& text) {
    const size_t slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos && !CreateFolders(path.substr(0, slash))) return false;
    return platform::WriteWholeText(path, text) == 0;
}

} // namespace core
