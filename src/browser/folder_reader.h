// Reading folders for the browser: one enumeration per folder, whole-tree sizes, existence tests.
#pragma once
#include "platform/win.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace browser {

struct FoundEntry {
    std::wstring name;
    uint64_t size = 0;
    FILETIME modified{};
    DWORD attributes = 0;
};

// The current folder's working lists, read by one enumeration: `Dir1` its subfolders, `File2` its files,
// each ascending by name. Hidden and system entries are left out, so that every listed folder can be entered.
struct FolderLists {
    std::wstring Path;
    std::vector<FoundEntry> Dir1, File2;
};
// False (and empty lists) when the folder cannot be read. Unsorted, the lists are in the system's order.
bool ReadFolder(const std::wstring& folder, FolderLists* lists, bool sorted = true);

// A text's key in the system's text order, ignoring letter case: keys compare as byte strings the way
// the texts compare with CompareString, at a fraction of the cost.
std::string TextSortKey(const std::wstring& text);
// Sorts entries ascending by name in that order.
void SortByName(std::vector<FoundEntry>& entries);

struct TreeSize {
    uint64_t bytes = 0;         // every file in the folder and below, hidden ones included
    bool complete = true;       // false when a part could not be read (no access, vanished meanwhile)
    bool hasDesktopIni = false; // the folder itself holds a desktop.ini (it may be customised)
};
// Links to other folders (junctions, symbolic links) are not followed, so no tree is counted twice or
// forever. The walk ends early, incomplete, as soon as `stopped` says so.
TreeSize FolderTreeSize(const std::wstring& folder, const std::function<bool()>& stopped = {});

// A directory search for exactly `path` that finds folders and normal files; hidden and system entries
// count as missing.
bool EntryExists(const std::wstring& path);
// True when `path` names a folder, hidden and system ones included (special folders can be either).
bool FolderExists(const std::wstring& path);

} // namespace browser
