// "每台显示器各一张": the monitors in their order and names, and the one bitmap that shows them all where
// the system cannot set a picture per monitor. No Windows headers here.
#pragma once
#include "settings/wallpaper_position.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wallpaper {

// A monitor's place on the virtual screen; the primary's left-top is 0,0, so monitors left of or
// above it have negative coordinates.
struct MonitorRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const MonitorRect&) const = default;
};

struct Monitor {
    std::wstring device;     // L"\\\\.\\DISPLAY2"
    std::wstring devicePath; // the interface path that outlives a new arrangement; empty when unknown
    MonitorRect rect;
    bool primary = false;
    bool operator==(const Monitor&) const = default;
};

// Left to right, then top to bottom: the order in which the monitors get their pictures.
void SortMonitors(std::vector<Monitor>& monitors);

// The number at the end of the device name (2 for L"\\\\.\\DISPLAY2"); 0 when it has none.
int MonitorNumber(const std::wstring& device);

// The menu's name for the monitor, L"显示器 1（1920×1080，主显示器）"; a device name without a number
// takes `place`, the monitor's 1-based place in the sorted order.
std::wstring MonitorLabel(const Monitor& m, int place);

// What the monitor's picture is remembered by: its device path, else its rectangle as
// "left,top,right,bottom".
std::wstring MonitorKey(const Monitor& m);

// One picture of a wallpaper: for every monitor (monitor empty) or for one (the monitor's key, a text
// without tabs or line breaks).
struct MonitorPicture {
    std::wstring monitor, path;
    bool operator==(const MonitorPicture&) const = default;
};
using Arrangement = std::vector<MonitorPicture>;

// The bounding box of all monitors; empty for none.
MonitorRect VirtualScreen(const std::vector<Monitor>& monitors);

// Fills a width × height canvas of 24-bit BGR pixels (rows dstStride bytes apart) with the desktop
// colour `background` (0x00BBGGRR), as the gaps between monitors of different sizes show it.
void FillBackground(uint8_t* dst, int width, int height, size_t dstStride, uint32_t background);

// Draws a w × h 24-bit BGR picture (rows srcStride bytes apart) into the monitor's rectangle `r` of a
// canvas that covers `screen` (24-bit BGR, rows dstStride bytes apart) pixel for pixel as the desktop
// shows it at `position` on that monitor; the rest of `r` gets `background`. 跨区 is drawn as 填充.
// Nothing outside `r` is touched, and nothing at all when `r` is empty or not inside `screen`.
void ComposeMonitor(const uint8_t* src, int w, int h, size_t srcStride, settings::WallpaperPosition position,
                    MonitorRect r, MonitorRect screen, uint8_t* dst, size_t dstStride, uint32_t background);

} // namespace wallpaper
