// The file information record's texts: sizes, time stamps, names and folder paths; no Windows headers here.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace fileinfo {

// A calendar date and time of day, to the second (local time where the record keeps it).
struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// "2004-06-21 21:05:03": fixed width, so its text order is its time order.
std::wstring FormatFileDate(const DateTime& t);

// Hundredths as "#,###,##0.00": grouped integer digits, a point and exactly two decimals.
std::wstring FormatHundredths(int64_t hundredths);
// A byte count in kilobytes of 1024 bytes, rounded to hundredths: 1536 gives 1.50, 5 GiB 5,242,880.00.
std::wstring FormatFileSize(int64_t bytes);
// A folder's byte count in units of 1000 bytes: 1,048,576 gives 1,048.58.
std::wstring FormatFolderSize(uint64_t bytes);
// The value of a size text (either form above) in hundredths; nothing when it is no such number.
std::optional<int64_t> ParseSizeText(std::wstring_view text);

// The first NUL ends the text; a text without one loses its outer blanks.
std::wstring TrimNull(std::wstring_view text);
// The text after the last "." of a file name, without the dot; empty when there is none.
std::wstring FileExtension(const std::wstring& fileName);
// The type text of an ordinary folder, which the browser recognises folders by.
inline constexpr wchar_t FolderTypeText[] = L"文件夹";
// A folder's type text: "文件夹" for an ordinary folder, whatever the system's language calls it
// (`plainFolderName`, the shell's name for any folder); a folder the shell names otherwise keeps that name.
std::wstring FolderTypeName(const std::wstring& shellName, const std::wstring& plainFolderName);
// The type name of an entry the shell cannot describe: "TXT File", or "File" without an extension.
std::wstring FallbackTypeName(const std::wstring& extension);
// The last component of a path (empty when it ends in "\"); the path itself when it has no "\".
std::wstring Dir文件夹路径2文件夹名称(const std::wstring& path);

// Looks one path up; the stored name of its last component when it is a folder, else nothing.
using FindFolderName = std::function<std::optional<std::wstring>(const std::wstring& path)>;
// A folder path in the form stored on disk: every component's stored name and case, the drive letter upper
// case, a share root (\\server\share) as given. Empty when a component is missing or is not a folder.
std::wstring LongFolderPath(const std::wstring& path, const FindFolderName& find);

// The form of a full path that file system calls accept beyond 260 characters ("\\?\C:\…", "\\?\UNC\…").
// Shorter paths, relative ones and those already in that form are returned unchanged.
std::wstring ExtendedLengthPath(const std::wstring& path);

} // namespace fileinfo
