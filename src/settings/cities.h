// The places the day and night dialog offers, by their Chinese names; no Windows headers here.
#pragma once
#include <span>
#include <string>

namespace settings {

struct City {
    const wchar_t* name;
    double latitude, longitude; // the city centre, degrees north and east
};

// The dialog's extra entry, for coordinates typed by hand; the city chosen until the user picks one.
inline constexpr wchar_t CustomCity[] = L"自定义";
inline constexpr wchar_t DefaultCity[] = L"北京";

// In the dialog's order: the four municipalities, the provincial capitals, 香港, 澳门 and 台北, then
// large cities abroad.
std::span<const City> Cities();

// The city of that name; nothing for any other name (CustomCity too).
const City* FindCity(const std::wstring& name);

} // namespace settings
