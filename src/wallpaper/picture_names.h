// Which file names the picture list shows and in what order; no Windows headers here.
#pragma once
#include <string>

namespace wallpaper {

// True for names ending in .jpg, .jpeg, .bmp or .gif (any letter case).
bool IsPictureName(const std::wstring& name);
// The list's order: by name, ignoring letter case; names equal but for case by their code units.
bool PictureNameLess(const std::wstring& a, const std::wstring& b);

} // namespace wallpaper
