#include "platform/temporary_name.h"

#include <algorithm>
#include <cwctype>

namespace platform {

std::wstring TemporaryPath(const std::wstring& path, uint32_t process, uint32_t count) {
    return path + L"." + std::to_wstring(process) + L"-" + std::to_wstring(count) + L".tmp";
}

bool IsTemporaryName(const std::wstring& name, const std::wstring& fileName) {
    auto same = [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); };
    const std::wstring tail = L".tmp";
    size_t n = fileName.size();
    if (name.size() < n + 1 + 3 + tail.size() ||
        !std::equal(fileName.begin(), fileName.end(), name.begin(), same) || name[n] != L'.' ||
        !std::equal(tail.rbegin(), tail.rend(), name.rbegin(), same))
        return false;
    // "<digits>-<digits>" between them.
    std::wstring middle = name.substr(n + 1, name.size() - n - 1 - tail.size());
    size_t dash = middle.find(L'-');
    if (dash == 0 || dash == std::wstring::npos || dash + 1 == middle.size()) return false;
    return std::all_of(middle.begin(), middle.end(),
                       [](wchar_t c) { return c == L'-' || (c >= L'0' && c <= L'9'); }) &&
           middle.find(L'-', dash + 1) == std::wstring::npos;
}

} // namespace platform
