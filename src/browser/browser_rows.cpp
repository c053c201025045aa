#include "browser/browser_rows.h"

#include <cwctype>

namespace browser {

std::wstring FolderPrefix(const std::wstring& folder) {
    return !folder.empty() && folder.back() == L'\\' ? folder : folder + L"\\";
}

bool IconDiffersPerEntry(const std::wstring& extension) {
    std::wstring e;
    for (wchar_t c : extension)
        e += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    for (const wchar_t* kind :
         {L"exe", L"lnk", L"ico", L"cur", L"ani", L"url", L"pif", L"scr", L"cpl", L"msc"})
        if (e == kind) return true;
    return false;
}

} // namespace browser
