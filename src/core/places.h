// Where the program may write on this machine: the Windows folder and the program's own folder when
// the user may make files there, otherwise the user's own folder of the program.
#pragma once
#include <string>

namespace core {

// True when a new file can be made in `folder` now: one is made and removed at once.
bool CanCreateFileIn(const std::wstring& folder);

// "%LOCALAPPDATA%\Tavolin", the user's own folder of the program (not made here); empty when the
// system does not name a local application data folder.
std::wstring UserProgramFolder();

// The wallpaper bitmap: `windowsFolder` + "\Vesmar.bmp" when a new file can be made there, else
// `userFolder` + "\Vesmar.bmp" (the folder is made when the bitmap is first written).
std::wstring WallpaperBitmapPlace(const std::wstring& windowsFolder, const std::wstring& userFolder);

// The folder that collects the previewed pictures: "Tavolin壁纸" beside the program when new files
// can be made there (in the picture folder where it exists, else in the program folder), else
// "Tavolin壁纸" in `userFolder`.
std::wstring PictureFolderPlace(const std::wstring& programFolder, const std::wstring& userFolder);

// Makes `folder` and any missing folders above it; false, with the system's error set, when one
// cannot be made.
bool CreateFolders(const std::wstring& folder);
// The program's own file (the history, the marks…) as UTF-8 text, written whole, with the folders
// above it made first: a new profile has no "%LOCALAPPDATA%\\Tavolin" until something is written
// there. False when it could not be written.
bool WriteProgramFile(const std::wstring& path, const std::wstring& text);

} // namespace core
