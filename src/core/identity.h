// The program's identity and the texts built from it; no Windows headers here.
#pragma once
#include "res/version.h"

#include <string>

namespace core {

inline constexpr wchar_t ApplicationTitle[] = L"Tavolin(Quorvel)";
inline constexpr int VersionMajor = TAVOLIN_VERSION_MAJOR;
inline constexpr int VersionMinor = TAVOLIN_VERSION_MINOR;
inline constexpr int VersionRevision = TAVOLIN_VERSION_REVISION;
inline constexpr wchar_t ProductPage[] = L"https://www.tavolin.net/";
inline constexpr wchar_t PictureFolderName[] = L"\\Tavolin壁纸";
inline constexpr wchar_t WallpaperFileName[] = L"\\Vesmar.bmp";
inline constexpr wchar_t HistoryFileName[] = L"\\墙纸历史.txt";

// "Tavolin(Quorvel)－V1.5"
std::wstring MainCaption();
// "版本 1.5.189"
std::wstring VersionLabel();

// The arguments part of a full command line (the program's own path removed, the way
// the Windows runtime splits it), with every double quote removed and outer blanks trimmed.
std::wstring CommandLinePicture(const std::wstring& fullCommandLine);

// The text up to and including the last backslash; empty when there is none.
std::wstring FolderPart(const std::wstring& path);
// The text after the last backslash (the whole text when there is none).
std::wstring NamePart(const std::wstring& path);

} // namespace core

namespace core {

// Where this run of the program keeps its files.
struct ProgramPlaces {
    std::wstring ProgramFolder;       // the program's own folder, no trailing backslash
    std::wstring ExecutableName;      // the program's file name without ".exe"
    std::wstring WallpaperBitmapPath; // the Windows folder + WallpaperFileName, or the user's own folder's
    std::wstring PictureFolder;       // collects previewed pictures: ProgramFolder + PictureFolderName,
                                      // or the user's own folder's where the program folder is read-only
    std::wstring HistoryPath;         // the wallpapers set, for "上一张墙纸"; empty: kept while the program runs
    std::wstring MarksPath;           // "收藏" and "不再显示"; empty: kept while the program runs
    std::wstring ThumbnailFolder;     // the picture list's thumbnails kept between runs; empty: none kept
};

} // namespace core
