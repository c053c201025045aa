#include "wallpaper/pictures/picture_list.h"

#include "platform/win.h"
#include "wallpaper/pictures/picture_names.h"

#include <algorithm>

namespace wallpaper {

bool FolderExists(const std::wstring& folder) {
    if (folder.empty()) return false;
    DWORD a = GetFileAttributesW(platform::LongPath(folder).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring NormalizeFolder(const std::wstring& folder) {
    std::wstring f = folder;
    while (f.size() > 3 && f.back() == L'\\')
        f.pop_back();
    if (f.size() == 2 && f[1] == L':') f += L'\\';
    return f;
}

std::vector<std::wstring> ListPictures(const std::wstring& folder) {
    std::vector<std::wstring> names;
    if (folder.empty()) return names;
    std::wstring pattern = folder + (folder.back() == L'\\' ? L"*" : L"\\*");
    WIN32_FIND_DATAW fd;
    platform::UniqueFind find(FindFirstFileExW(platform::LongPath(pattern).c_str(), FindExInfoBasic, &fd,
                                               FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return names;
    do {
        if (fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        if (IsPictureName(fd.cFileName)) names.emplace_back(fd.cFileName);
    } while (FindNextFileW(find.get(), &fd));
    SortPictureNames(names);
    return names;
}

} // namespace wallpaper
