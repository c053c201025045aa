#include "settings/option_number.h"

#include <charconv>
#include <cmath>
#include <string>

namespace settings {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}
bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// The number's text in the form from_chars reads, or empty when the text is no number.
std::string NumberSyntax(const std::wstring& text) {
    size_t i = 0, n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    while (n > i && IsBlank(text[n - 1]))
        --n;
    std::string out;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) {
        if (text[i] == L'-') out += '-';
        ++i;
    }
    size_t digits = 0;
    bool point = false;
    for (; i < n && (IsDigit(text[i]) || (text[i] == L'.' && !point)); ++i) {
        if (text[i] == L'.')
            point = true;
        else
            ++digits;
        out += static_cast<char>(text[i]);
    }
    if (digits == 0) return {};
    if (i < n && (text[i] == L'e' || text[i] == L'E' || text[i] == L'd' || text[i] == L'D')) {
        out += 'e';
        ++i;
        if (i < n && (text[i] == L'+' || text[i] == L'-')) out += static_cast<char>(text[i++]);
        size_t start = i;
        for (; i < n && IsDigit(text[i]); ++i)
            out += static_cast<char>(text[i]);
        if (i == start) return {};
    }
    return i == n ? out : std::string();
}

bool InRange(const std::optional<int32_t>& v, int32_t max) {
    return v && *v >= MinInterval && *v <= max;
}

} // namespace

std::optional<int32_t> WholeNumber(const std::wstring& text) {
    std::string s = NumberSyntax(text);
    if (s.empty()) return std::nullopt;
    double value = 0;
    auto [end, err] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (err != std::errc() || end != s.data() + s.size()) return std::nullopt;
    double rounded = std::nearbyint(value); // the default rounding mode sends halves to the even neighbour
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return std::nullopt;
    return static_cast<int32_t>(rounded);
}

IntervalCheck CheckIntervals(const std::wstring& text1, const std::wstring& text2) {
    IntervalCheck check;
    std::optional<int32_t> wallpaper = WholeNumber(text1);
    if (!InRange(wallpaper, MaxWallpaperInterval)) {
        check.bad = IntervalBox::Text1;
        return check;
    }
    std::optional<int32_t> slideshow = WholeNumber(text2);
    if (!InRange(slideshow, MaxSlideshowInterval)) {
        check.bad = IntervalBox::Text2;
        return check;
    }
    check.wallpaper = *wallpaper;
    check.slideshow = *slideshow;
    return check;
}

} // namespace settings
