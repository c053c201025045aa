#include "core/identity.h"

namespace core {

std::wstring MainCaption() {
    return std::wstring(ApplicationTitle) + L"－V" + std::to_wstring(VersionMajor) + L"." +
           std::to_wstring(VersionMinor);
}

std::wstring VersionLabel() {
    return L"版本 " + std::to_wstring(VersionMajor) + L"." + std::to_wstring(VersionMinor) + L"." +
           std::to_wstring(VersionRevision);
}

std::wstring CommandLinePicture(const std::wstring& line) {
    size_t i = 0;
    // The program name ends at the closing quote, or at the first blank when it is not quoted.
    if (i < line.size() && line[i] == L'"') {
        size_t close = line.find(L'"', 1);
        i = close == std::wstring::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != L' ' && line[i] != L'\t')
            ++i;
    }
    std::wstring rest;
    for (; i < line.size(); ++i)
        if (line[i] != L'"') rest += line[i];
    size_t b = rest.find_first_not_of(L" \t");
    if (b == std::wstring::npos) return {};
    size_t e = rest.find_last_not_of(L" \t");
    return rest.substr(b, e - b + 1);
}

std::wstring FolderPart(const std::wstring& path) {
    size_t p = path.rfind(L'\\');
    return p == std::wstring::npos ? std::wstring() : path.substr(0, p + 1);
}

std::wstring NamePart(const std::wstring& path) {
    size_t p = path.rfind(L'\\');
    return p == std::wstring::npos ? path : path.substr(p + 1);
}

} // namespace core
