// The order in which the picture list's thumbnails are made, and which of them are kept in memory, from
// the rows the list shows. No Windows headers here.
#pragma once
#include <functional>
#include <utility>
#include <vector>

namespace wallpaper {

// The rows to make thumbnails for, first first: the visible rows top to bottom, then one page
// (`visibleRows`) below and one above, alternating outwards, nearest first and below before above
// (scrolling down is the common way through a list). Only rows for which `needed(row)` holds are
// named. A list showing part of one row counts one visible row; `firstVisible` is clamped to the list.
std::vector<int> ThumbnailOrder(int count, int firstVisible, int visibleRows,
                                const std::function<bool(int)>& needed);

// The rows whose thumbnails may stay in memory, [first, second): the visible rows and a page each way,
// clamped to the list. Every other row's bitmap is released.
std::pair<int, int> ThumbnailKeepRange(int count, int firstVisible, int visibleRows);

} // namespace wallpaper
