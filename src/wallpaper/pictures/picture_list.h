// The pictures of a folder, as the picture list shows them.
#pragma once
#include <string>
#include <vector>

namespace wallpaper {

// True when a directory search of the path finds a folder.
bool FolderExists(const std::wstring& folder);
// The folder without a trailing backslash, except for a drive root ("C:\").
std::wstring NormalizeFolder(const std::wstring& folder);
// Names of the files with a picture extension (IsPictureName), in the list's order.
std::vector<std::wstring> ListPictures(const std::wstring& folder);

} // namespace wallpaper
