#include "wallpaper/picture_names.h"

#include <algorithm>
#include <cwctype>

namespace wallpaper {
namespace {

wchar_t Lower(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); }

bool EndsWithNoCase(const std::wstring& s, const std::wstring& suffix) {
    if (s.size() <= suffix.size()) return false; // a bare ".jpg" has no name
    return std::equal(suffix.rbegin(), suffix.rend(), s.rbegin(),
                      [](wchar_t a, wchar_t b) { return Lower(a) == Lower(b); });
}

} // namespace

bool IsPictureName(const std::wstring& name) {
    for (const wchar_t* ext : {L".jpg", L".jpeg", L".bmp", L".gif"})
        if (EndsWithNoCase(name, ext)) return true;
    return false;
}

bool PictureNameLess(const std::wstring& a, const std::wstring& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wchar_t x = Lower(a[i]), y = Lower(b[i]);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

} // namespace wallpaper
