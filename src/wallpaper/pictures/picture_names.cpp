#include "wallpaper/pictures/picture_names.h"

#include <algorithm>
#include <cstddef>
#include <cwctype>
#include <string_view>

namespace wallpaper {
namespace {

wchar_t Lower(wchar_t c) {
    // Most names are mostly ASCII, which needs no call into the C library (the list sorts thousands).
    if (c < 0x80) return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

std::vector<std::wstring> SortedOnce(std::vector<std::wstring> v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

std::vector<std::wstring>& Current() {
    static std::vector<std::wstring> extensions = SortedOnce(FixedPictureExtensions);
    return extensions;
}

} // namespace

const std::vector<std::wstring> FixedPictureExtensions = {L".jpg", L".jpeg", L".jpe", L".jfif",
                                                          L".png", L".bmp",  L".dib", L".gif",
                                                          L".tif", L".tiff", L".jxr", L".wdp"};

std::vector<std::wstring> SplitExtensions(const std::wstring& text) {
    std::vector<std::wstring> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(L",;", start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring part = text.substr(start, end - start);
        size_t first = part.find_first_not_of(L" \t"), last = part.find_last_not_of(L" \t");
        part = first == std::wstring::npos ? L"" : part.substr(first, last - first + 1);
        if (!part.empty() && part.front() != L'.') part.insert(part.begin(), L'.');
        std::transform(part.begin(), part.end(), part.begin(), Lower);
        // "." alone, or a name with a dot or a wildcard inside, is no extension.
        if (part.size() > 1 && part.find_first_of(L".*?\\/ ", 1) == std::wstring::npos) out.push_back(part);
        start = end + 1;
    }
    return out;
}

bool ExcludedExtension(const std::wstring& extension) {
    static const std::vector<std::wstring> excluded =
        SortedOnce({// icons, cursors and textures
                    L".ico", L".icon", L".cur", L".ani", L".dds",
                    // camera raw
                    L".3fr", L".ari", L".arw", L".bay", L".cap", L".cr2", L".cr3", L".crw", L".dcr", L".dcs",
                    L".dng", L".drf", L".eip", L".erf", L".fff", L".iiq", L".k25", L".kdc", L".mdc", L".mef",
                    L".mos", L".mrw", L".nef", L".nrw", L".orf", L".ori", L".pef", L".ptx", L".pxn", L".raf",
                    L".raw", L".rw2", L".rwl", L".rwz", L".sr2", L".srf", L".srw", L".x3f"});
    return std::binary_search(excluded.begin(), excluded.end(), extension);
}

std::vector<std::wstring> PictureExtensionSet(const std::vector<std::wstring>& decoderLists) {
    std::vector<std::wstring> set = FixedPictureExtensions;
    for (const std::wstring& list : decoderLists)
        for (std::wstring& extension : SplitExtensions(list))
            if (!ExcludedExtension(extension)) set.push_back(std::move(extension));
    return SortedOnce(std::move(set));
}

void UsePictureExtensions(std::vector<std::wstring> extensions) {
    Current() = SortedOnce(std::move(extensions));
}

const std::vector<std::wstring>& PictureExtensions() {
    return Current();
}

bool IsPictureName(const std::wstring& name) {
    size_t dot = name.rfind(L'.');
    // A bare ".jpg" has no name; the longest extension a decoder lists has a few letters.
    if (dot == std::wstring::npos || dot == 0 || name.size() - dot > 16) return false;
    wchar_t extension[16];
    size_t n = name.size() - dot;
    for (size_t i = 0; i < n; ++i)
        extension[i] = Lower(name[dot + i]);
    const std::vector<std::wstring>& set = Current();
    return std::binary_search(set.begin(), set.end(), std::wstring_view(extension, n),
                              [](std::wstring_view a, std::wstring_view b) { return a < b; });
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

namespace wallpaper {

void SortPictureNames(std::vector<std::wstring>& names) {
    // The lowered names side by side in one buffer, and the names sorted by them through an index.
    std::vector<size_t> start(names.size() + 1, 0);
    for (size_t i = 0; i < names.size(); ++i)
        start[i + 1] = start[i] + names[i].size();
    std::wstring lowered(start.back(), L'\0');
    for (size_t i = 0; i < names.size(); ++i)
        std::transform(names[i].begin(), names[i].end(), lowered.begin() + static_cast<ptrdiff_t>(start[i]),
                       Lower);
    auto key = [&](size_t i) { return std::wstring_view(lowered).substr(start[i], start[i + 1] - start[i]); };
    std::vector<size_t> order(names.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    // By the lowered names, then (equal but for case) by the names themselves: PictureNameLess.
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        int c = key(a).compare(key(b));
        return c != 0 ? c < 0 : names[a] < names[b];
    });
    std::vector<std::wstring> sorted;
    sorted.reserve(names.size());
    for (size_t i : order)
        sorted.push_back(std::move(names[i]));
    names = std::move(sorted);
}

} // namespace wallpaper
