// The names of the daily pictures' folder and files. Titles come from the network, so a name made from
// one must stay a plain file name inside the folder. No Windows headers here.
#pragma once
#include <cstddef>
#include <string>

namespace daily {

// The folder inside the picture folder, and the state file kept in it beside the pictures.
inline constexpr wchar_t FolderName[] = L"每日图片";
inline constexpr wchar_t ManifestName[] = L"每日图片.json";
// At most this many code points of the title go into a name.
inline constexpr size_t TitleLimit = 80;

// "2026-12-10 雪中的长城.jpg" for the date "20261210": the title without the characters that file names
// cannot hold and control characters, runs of spaces made one, runs of dots made "…", no dots or spaces
// at either end, at most TitleLimit code points; "2026-12-10 每日图片.jpg" when nothing is left.
// Empty when `yyyymmdd` is not a date.
std::wstring DailyFileName(const std::wstring& yyyymmdd, const std::wstring& title);

// True for a name that stays inside its folder as an ordinary file: not empty, without \ / : * ? " < > |
// or control characters, without "..", not ending in a dot or space, and not a device name ("CON",
// "nul.txt", "COM1").
bool IsPlainFileName(const std::wstring& name);
// True for a plain name that DailyFileName could have made: "yyyy-mm-dd <title>.jpg".
bool IsDailyFileName(const std::wstring& name);

} // namespace daily
