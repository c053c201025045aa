// Where the program and the system's folders are, found once at start-up.
#pragma once
#include "core/folder_paths.h"
#include "core/identity.h"

#include <string>

namespace app {

// The program folder and name (from the running module) and the picture folder, where `places`
// leaves them empty.
void FindProgramPlaces(core::ProgramPlaces& places);
// The wallpaper bitmap (in the Windows folder where the user may write there, else in the user's own
// folder) and the program's files in the user's folder, where `places` leaves them empty.
void FindUserFiles(core::ProgramPlaces& places, const std::wstring& windowsFolder);
// The special folders that the browser offers besides the desktop and the Windows folder.
void FindSpecialFolders(core::FolderPaths& folders);
// The Windows folder, which receives the wallpaper bitmap; the system folder; the desktop folder.
std::wstring WindowsFolder();
std::wstring SystemFolder();
std::wstring DesktopFolder();

} // namespace app
