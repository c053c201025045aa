// The layout of the wallpaper bitmap file: a 24-bit BMP, rows bottom-up, each padded to 4 bytes.
// No Windows headers here.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace wallpaper {

inline constexpr uint32_t BitmapHeaderBytes = 54; // file header and BITMAPINFOHEADER

// Bytes of one pixel row in the file.
uint64_t BitmapRowBytes(uint32_t width);

// The headers of a width × height 24-bit bitmap; nothing for an empty picture or one whose file would
// not fit the format's 32-bit sizes.
std::optional<std::array<uint8_t, BitmapHeaderBytes>> BitmapFileHeader(uint32_t width, uint32_t height);

} // namespace wallpaper
