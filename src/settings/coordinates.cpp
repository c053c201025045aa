#include "settings/coordinates.h"

#include <charconv>
#include <cmath>

namespace settings {
namespace {

std::optional<double> ParseDegrees(const std::wstring& text, double limit) {
    size_t begin = text.find_first_not_of(L" \t"), end = text.find_last_not_of(L" \t");
    if (begin == std::wstring::npos) return std::nullopt;
    std::string number; // the text in the form from_chars reads: no '+'
    bool digits = false, point = false;
    for (size_t i = begin; i <= end; ++i) {
        wchar_t c = text[i];
        if ((c == L'+' || c == L'-') && i == begin) {
            if (c == L'-') number += '-';
        } else if (c >= L'0' && c <= L'9') {
            digits = true;
            number += char(c);
        } else if (c == L'.' && !point) {
            point = true;
            number += '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    double value;
    auto [last, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || last != number.data() + number.size() || std::fabs(value) > limit)
        return std::nullopt;
    return value + 0.0; // "-0" is 0
}

} // namespace

std::optional<double> ParseLatitude(const std::wstring& text) {
    return ParseDegrees(text, 90);
}

std::optional<double> ParseLongitude(const std::wstring& text) {
    return ParseDegrees(text, 180);
}

std::wstring FormatCoordinate(double degrees) {
    char buffer[64];
    auto [last, error] = std::to_chars(buffer, buffer + sizeof buffer, degrees, std::chars_format::fixed, 4);
    if (error != std::errc()) return L"0";
    std::string text(buffer, last);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return std::wstring(text.begin(), text.end());
}

} // namespace settings
