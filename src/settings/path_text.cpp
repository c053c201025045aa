#include "settings/path_text.h"

#include <cwctype>

namespace settings {

std::wstring AddTrailingBackslash(const std::wstring& path) {
    if (!path.empty() && path.back() == L'\\') return path;
    return path + L'\\';
}

std::wstring LocalPathOf(const std::wstring& text) {
    static const std::wstring prefix = L"file:///";
    if (text.size() < prefix.size()) return text;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (static_cast<wchar_t>(std::towlower(static_cast<wint_t>(text[i]))) != prefix[i]) return text;
    std::wstring out;
    for (size_t i = prefix.size(); i < text.size(); ++i) {
        if (text[i] == L'/') {
            out += L'\\';
        } else if (text[i] == L'%' && i + 2 < text.size() && text[i + 1] == L'2' && text[i + 2] == L'0') {
            out += L' ';
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace settings
