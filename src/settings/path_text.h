// Path texts: trailing backslashes and "file:///" addresses; no Windows headers here.
#pragma once
#include <string>

namespace settings {

// The path with "\" appended unless it already ends in one (a drive root stays as it is).
std::wstring AddTrailingBackslash(const std::wstring& path);

// A "file:///" address (prefix in any letter case) as a local path: the prefix dropped,
// "/" turned into "\", "%20" into a blank. Any other text is returned unchanged.
std::wstring LocalPathOf(const std::wstring& pathOrAddress);

} // namespace settings
