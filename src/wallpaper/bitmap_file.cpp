#include "wallpaper/bitmap_file.h"

#include <algorithm>
#include <cstdint>
#include <cwctype>

namespace wallpaper {

uint64_t BitmapRowBytes(uint32_t width) {
    return (uint64_t{width} * 3 + 3) & ~uint64_t{3};
}

std::optional<std::array<uint8_t, BitmapHeaderBytes>> BitmapFileHeader(uint32_t width, uint32_t height) {
    uint64_t pixels = BitmapRowBytes(width) * height;
    if (!width || !height || width > INT32_MAX || height > INT32_MAX ||
        pixels > UINT32_MAX - BitmapHeaderBytes)
        return std::nullopt;
    std::array<uint8_t, BitmapHeaderBytes> h{};
    auto put = [&h](size_t at, uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            h[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    };
    h[0] = 'B';
    h[1] = 'M';
    put(2, BitmapHeaderBytes + pixels, 4); // file size
    put(10, BitmapHeaderBytes, 4);         // where the pixels start
    put(14, 40, 4);                        // BITMAPINFOHEADER
    put(18, width, 4);
    put(22, height, 4); // positive: bottom-up
    put(26, 1, 2);      // planes
    put(28, 24, 2);     // bits per pixel, BI_RGB
    put(34, pixels, 4);
    put(38, 2835, 4); // 72 dots per inch, as metres
    put(42, 2835, 4);
    return h;
}

std::wstring TemporaryBitmapPath(const std::wstring& bitmapPath, uint32_t process, uint32_t count) {
    return bitmapPath + L"." + std::to_wstring(process) + L"-" + std::to_wstring(count) + L".tmp";
}

bool IsTemporaryBitmapName(const std::wstring& name, const std::wstring& bitmapName) {
    auto same = [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); };
    const std::wstring tail = L".tmp";
    size_t n = bitmapName.size();
    if (name.size() < n + 1 + 3 + tail.size() ||
        !std::equal(bitmapName.begin(), bitmapName.end(), name.begin(), same) || name[n] != L'.' ||
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

} // namespace wallpaper
