// The latitude and longitude boxes of the day and night dialog; no Windows headers here.
#pragma once
#include <optional>
#include <string>

namespace settings {

// Decimal degrees as typed: blanks around them, an optional sign, digits with at most one decimal point
// ("39.9", "-33.87", " 116.4 ", "+12", ".5"). Nothing for anything else (no exponent, NaN or infinity)
// and for a latitude outside -90..90 or a longitude outside -180..180.
std::optional<double> ParseLatitude(const std::wstring& text);
std::optional<double> ParseLongitude(const std::wstring& text);

// Degrees for a box: at most four decimals, without trailing zeros ("39.9042", "116.4", "-12", "0").
std::wstring FormatCoordinate(double degrees);

} // namespace settings
