#include "browser/folder_reader.h"

#include "browser/browser_rows.h"
#include "fileinfo/file_text.h"

#include <algorithm>

namespace browser {
namespace {

using fileinfo::ExtendedLengthPath;

bool IsDots(const wchar_t* name) {
    return name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]));
}

platform::UniqueFind FindAll(const std::wstring& folder, WIN32_FIND_DATAW* fd) {
    std::wstring pattern = folder + (!folder.empty() && folder.back() == L'\\' ? L"*" : L"\\*");
    return platform::UniqueFind(FindFirstFileExW(ExtendedLengthPath(pattern).c_str(), FindExInfoBasic, fd,
                                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
}

uint64_t SizeOf(const WIN32_FIND_DATAW& fd) {
    return (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
}

bool FindVisible(const std::wstring& path, WIN32_FIND_DATAW* fd) {
    if (path.empty() || path.back() == L'\\' || path.find_first_of(L"*?") != std::wstring::npos) return false;
    platform::UniqueFind find(FindFirstFileExW(ExtendedLengthPath(path).c_str(), FindExInfoBasic, fd,
                                               FindExSearchNameMatch, nullptr, 0));
    return find && !(fd->dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

} // namespace

bool ReadFolder(const std::wstring& folder, FolderLists* lists, bool sorted) {
    lists->Path = folder;
    lists->Dir1.clear();
    lists->File2.clear();
    if (folder.empty()) return false;
    WIN32_FIND_DATAW fd;
    platform::UniqueFind find = FindAll(folder, &fd);
    if (!find) return false;
    do {
        if (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        const bool isFolder = fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (isFolder && IsDots(fd.cFileName)) continue;
        (isFolder ? lists->Dir1 : lists->File2)
            .push_back({fd.cFileName, isFolder ? 0 : SizeOf(fd), fd.ftLastWriteTime, fd.dwFileAttributes});
    } while (FindNextFileW(find.get(), &fd));
    if (!sorted) return true;
    SortByName(lists->Dir1);
    SortByName(lists->File2);
    return true;
}

std::string TextSortKey(const std::wstring& text) {
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int length = static_cast<int>(text.size());
    int n =
        LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, text.c_str(), length, nullptr, 0, nullptr, nullptr, 0);
    std::string key(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0)
        LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, text.c_str(), length,
                      reinterpret_cast<LPWSTR>(key.data()), n, nullptr, nullptr, 0);
    // Without the closing NUL, which belongs to the C string and not to the key.
    while (!key.empty() && key.back() == '\0')
        key.pop_back();
    return key;
}

void SortByName(std::vector<FoundEntry>& entries) {
    std::vector<std::pair<std::string, size_t>> keys(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        keys[i] = {TextSortKey(entries[i].name), i};
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<FoundEntry> sorted;
    sorted.reserve(entries.size());
    for (auto& k : keys)
        sorted.push_back(std::move(entries[k.second]));
    entries = std::move(sorted);
}

TreeSize FolderTreeSize(const std::wstring& folder, const std::function<bool()>& stopped) {
    TreeSize size;
    std::vector<std::wstring> pending{folder};
    bool top = true;
    WIN32_FIND_DATAW fd;
    while (!pending.empty()) {
        std::wstring current = std::move(pending.back());
        pending.pop_back();
        platform::UniqueFind find = FindAll(current, &fd);
        if (!find) {
            size.complete = false;
            top = false;
            continue;
        }
        do {
            if (stopped && stopped()) return size.complete = false, size;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (!IsDots(fd.cFileName) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    pending.push_back(FolderPrefix(current) + fd.cFileName);
            } else {
                size.bytes += SizeOf(fd);
                if (top && _wcsicmp(fd.cFileName, L"desktop.ini") == 0) size.hasDesktopIni = true;
            }
        } while (FindNextFileW(find.get(), &fd));
        if (GetLastError() != ERROR_NO_MORE_FILES) size.complete = false;
        top = false;
    }
    return size;
}

bool EntryExists(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    return FindVisible(path, &fd);
}

bool FolderExists(const std::wstring& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace browser
