// Sorting the folder list by a column header: the order rules of a header click and the sort keys;
// no Windows headers here.
#pragma once
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

namespace fileinfo {

enum Column : int { ColumnName = 0, ColumnSize = 1, ColumnType = 2, ColumnDate = 3 };

// The list's own sort state: the sort column and the order (0 ascending, 1 descending).
struct ListSortState {
    int SortKey = ColumnName;
    int SortOrder = 0;
};

struct SortRequest {
    int column;
    int order;
    bool byValue; // the size column, by numeric value; the others by text
    friend bool operator==(const SortRequest&, const SortRequest&) = default;
};

// What a click on header `headerIndex` (1-based) sorts, and the state it leaves. The size column flips the
// order on every click; another column reverses on a second click and starts ascending when it changes.
SortRequest ListView1_ColumnClick(ListSortState& state, int headerIndex);

// One numeric key per size text, each parsed once; a text that is no number sorts before every number.
std::vector<int64_t> SizeSortKeys(const std::vector<std::wstring>& sizeTexts);

// The order of a sort by size: rows with an empty size text (not known yet) come after every other row
// in both directions, in the order they had.
std::vector<size_t> SizeOrder(const std::vector<std::wstring>& sizeTexts, bool descending);

// The rows' new order (indices into `keys`): stable, so equal keys keep their order in both directions.
template <class Key> std::vector<size_t> SortedOrder(const std::vector<Key>& keys, bool descending) {
    std::vector<size_t> order(keys.size());
    std::iota(order.begin(), order.end(), size_t{0});
    if (descending)
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[b] < keys[a]; });
    else
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    return order;
}

} // namespace fileinfo
