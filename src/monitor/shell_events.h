// The names the log gives the shell's change events; no Windows headers here.
#pragma once
#include <cstdint>
#include <string>

namespace monitor {

inline constexpr std::uint32_t SHCNE_UPDATEIMAGE_ID = 0x8000;
inline constexpr std::uint32_t SHCNE_FREESPACE_ID = 0x40000;

// The event's name, or empty text for an id that is not exactly one of the known values
// (a combination of bits other than the four named groups, or 0).
std::wstring ShellEventName(std::uint32_t id);

} // namespace monitor
