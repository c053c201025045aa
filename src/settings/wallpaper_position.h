// Where the desktop puts the wallpaper, as the options dialog offers it and the store keeps it.
// No Windows headers here.
#pragma once
#include <array>
#include <string>

namespace settings {

inline constexpr wchar_t KeyWallpaperPosition[] = L"墙纸位置";

// In the order of the dialog's drop-down.
enum class WallpaperPosition { Fill, Fit, Stretch, Tile, Center, Span };

inline constexpr std::array<const wchar_t*, 6> WallpaperPositionNames = {L"填充", L"适应", L"拉伸",
                                                                         L"平铺", L"居中", L"跨区"};

// The stored text is the position's name.
std::wstring PositionName(WallpaperPosition position);
// Anything but one of the six names (nothing stored, another text) is 居中, the program's old way.
WallpaperPosition ParsePosition(const std::wstring& stored);

} // namespace settings
