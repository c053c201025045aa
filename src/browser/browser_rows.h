// The rows of the folder list and the rules that decide their type texts; no Windows headers here.
#pragma once
#include "fileinfo/file_text.h"

#include <cstdint>
#include <string>

namespace browser {
using fileinfo::FolderTypeText;

struct BrowserRow {
    std::wstring Key;  // the entry's full path
    std::wstring Text; // 名称
    std::wstring Size; // 大小(KB)
    std::wstring Type; // 文件类型
    std::wstring Date; // 修改日期
    int Image = -1;    // small icon in the list's image list; -1 for none
    // Listed among the subfolders, whatever its type text.
    bool Directory = false;
    // The size and time of last change as read, to tell whether a read of the folder changes the row.
    uint64_t Stamp = 0;
    bool IsFolder() const { return Type == FolderTypeText; }
};

// The folder prefix of a file row's key: the folder with "\" appended unless it ends in one (C:\ stays C:\).
std::wstring FolderPrefix(const std::wstring& folder);

// True for file kinds whose shell icon can differ from one file to the next (programs, shortcuts, icons):
// their icon is asked for the file itself, every other kind's once for its extension.
bool IconDiffersPerEntry(const std::wstring& extension);

} // namespace browser
