// The system's modal folder choice.
#pragma once
#include "platform/win.h"

#include <string>

namespace wallpaper {

// Lets the user choose a file-system folder; its path with a trailing backslash, or empty text
// when the user cancels or the choice has no file-system path.
std::wstring BrowseForFolder(HWND owner);

} // namespace wallpaper
