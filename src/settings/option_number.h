// The options dialog's interval boxes: what counts as a number and which box is wrong; no Windows headers
// here.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace settings {

inline constexpr int32_t MinInterval = 3;
inline constexpr int32_t MaxWallpaperInterval = 86400;
inline constexpr int32_t MaxSlideshowInterval = 600;
inline constexpr wchar_t WallpaperIntervalMessage[] = L"必须填入大于2,小于86400的数字！";
inline constexpr wchar_t SlideshowIntervalMessage[] = L"必须填入大于2,小于600的数字！";
inline constexpr wchar_t LatitudeMessage[] = L"纬度必须填入 -90 到 90 之间的数字！";
inline constexpr wchar_t LongitudeMessage[] = L"经度必须填入 -180 到 180 之间的数字！";
inline constexpr wchar_t DailyKeepMessage[] = L"保留的张数必须填入 1 到 365 之间的整数！";

// The whole number a box holds: blanks around it, an optional sign, digits with at most one decimal
// point and an optional exponent ("1E4"). Halves round to the even neighbour ("12.5" is 12, "13.5" is 14).
// Nothing when the text is no number or the value does not fit in 32 bits.
std::optional<int32_t> WholeNumber(const std::wstring& text);

enum class IntervalBox { None, Text1, Text2 };

struct IntervalCheck {
    IntervalBox bad = IntervalBox::None; // the first box found wrong; the other is not looked at
    int32_t wallpaper = 0, slideshow = 0;
};

// Text1 must hold 3..86400, Text2 3..600, checked in that order.
IntervalCheck CheckIntervals(const std::wstring& text1, const std::wstring& text2);

} // namespace settings
