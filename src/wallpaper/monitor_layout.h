// "每台显示器各一张": the monitors in their order and names, which picture each one gets, the one bitmap
// that shows them all where the system cannot set a picture per monitor, and what a change of the
// displays means for the remembered pictures. No Windows headers here.
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

// Upright when the height exceeds the width; a square is wide.
enum class Shape { Wide, Upright };
inline Shape ShapeOf(int w, int h) {
    return h > w ? Shape::Upright : Shape::Wide;
}

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

// The bounding box of all monitors; empty for none.
MonitorRect VirtualScreen(const std::vector<Monitor>& monitors);

// The list's indexes after `selection`, wrapping round to it; no selection (-1) starts at the first.
std::vector<int> ListOrderAfter(int selection, int count);

// One automatic change: for each monitor in the sorted order, the list index of its picture, and the
// list's new selection (the picture handed out that lies furthest along the order). Both are empty
// (-1) when there are no pictures.
struct Turn {
    std::vector<int> pictures;
    int selection = -1;
};

// Each monitor takes the first free picture in `order` (list indexes) with its shape, else, when no
// free picture has it, the first free one; pictures come back only once every one is taken.
// `shapeOf` reads a file's header, so it is asked only as far as the choice needs and once per
// picture at most; nothing (an unreadable file) never matches a shape.
Turn ChoosePictures(const std::vector<Shape>& monitors, const std::vector<int>& order,
                    const std::function<std::optional<Shape>(int)>& shapeOf);

// Fills a width × height canvas of 24-bit BGR pixels (rows dstStride bytes apart) with the desktop
// colour `background` (0x00BBGGRR), as the gaps between monitors of different sizes show it.
void FillBackground(uint8_t* dst, int width, int height, size_t dstStride, uint32_t background);

// Draws a w × h 24-bit BGR picture (rows srcStride bytes apart) into the monitor's rectangle `r` of a
// canvas that covers `screen` (24-bit BGR, rows dstStride bytes apart) pixel for pixel as the desktop
// shows it at `position` on that monitor; the rest of `r` gets `background`. 跨区 is drawn as 填充.
// Nothing outside `r` is touched, and nothing at all when `r` is empty or not inside `screen`.
void ComposeMonitor(const uint8_t* src, int w, int h, size_t srcStride, settings::WallpaperPosition position,
                    MonitorRect r, MonitorRect screen, uint8_t* dst, size_t dstStride, uint32_t background);

// What a new arrangement of the displays means for the remembered pictures. `same` when the monitors
// are those of before, with the same rectangles: nothing is to be done, and the lists stay empty.
struct ArrangementChange {
    bool same = false;
    std::vector<size_t> keep;            // indexes into the new monitors that keep their picture
    std::vector<size_t> needPicture;     // new monitors, and turned ones whose picture has the other shape
    std::vector<std::wstring> keptAside; // keys of remembered monitors that are gone, for their return
};

// `remembered` gives the picture kept by a monitor key, `shapeOfPath` that picture's shape when its
// file can be read; it is asked only for monitors whose shape changed.
ArrangementChange
CompareArrangement(const std::vector<Monitor>& before, const std::vector<Monitor>& now,
                   const std::function<std::optional<std::wstring>(const std::wstring&)>& remembered,
                   const std::function<std::optional<Shape>(const std::wstring&)>& shapeOfPath);

} // namespace wallpaper
