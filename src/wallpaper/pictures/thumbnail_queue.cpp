#include "wallpaper/pictures/thumbnail_queue.h"

#include <algorithm>

namespace wallpaper {
namespace {

struct Rows {
    int first = 0, page = 1, end = 0; // the visible rows are [first, end)
};

Rows Visible(int count, int firstVisible, int visibleRows) {
    Rows r;
    r.page = std::clamp(visibleRows, 1, std::max(count, 1)); // no more than the list, so no sum overflows
    r.first = std::clamp(firstVisible, 0, std::max(count - 1, 0));
    r.end = std::min(count, r.first + r.page);
    return r;
}

} // namespace

std::vector<int> ThumbnailOrder(int count, int firstVisible, int visibleRows,
                                const std::function<bool(int)>& needed) {
    std::vector<int> order;
    if (count <= 0) return order;
    Rows r = Visible(count, firstVisible, visibleRows);
    auto add = [&](int row) {
        if (row >= 0 && row < count && needed(row)) order.push_back(row);
    };
    for (int row = r.first; row < r.end; ++row)
        add(row);
    for (int step = 0; step < r.page; ++step) {
        add(r.end + step);
        add(r.first - 1 - step);
    }
    return order;
}

std::pair<int, int> ThumbnailKeepRange(int count, int firstVisible, int visibleRows) {
    if (count <= 0) return {0, 0};
    Rows r = Visible(count, firstVisible, visibleRows);
    return {std::max(r.first - r.page, 0), std::min(r.end + r.page, count)};
}

} // namespace wallpaper
