#include "fileinfo/list_sort.h"

#include "fileinfo/file_text.h"

#include <limits>

namespace fileinfo {

SortRequest ListView1_ColumnClick(ListSortState& state, int headerIndex) {
    if (headerIndex == 2) {
        state.SortOrder = (state.SortOrder + 1) % 2;
        state.SortKey = ColumnSize;
        return {ColumnSize, state.SortOrder, true};
    }
    if (headerIndex - 1 == state.SortKey) {
        state.SortOrder = (state.SortOrder + 1) % 2;
    } else {
        state.SortOrder = 0;
        state.SortKey = headerIndex - 1;
    }
    return {state.SortKey, state.SortOrder, false};
}

std::vector<int64_t> SizeSortKeys(const std::vector<std::wstring>& sizeTexts) {
    std::vector<int64_t> keys;
    keys.reserve(sizeTexts.size());
    for (const std::wstring& text : sizeTexts)
        keys.push_back(ParseSizeText(text).value_or(std::numeric_limits<int64_t>::min()));
    return keys;
}

std::vector<size_t> SizeOrder(const std::vector<std::wstring>& sizeTexts, bool descending) {
    std::vector<std::wstring> known;
    std::vector<size_t> knownAt, order;
    for (size_t i = 0; i < sizeTexts.size(); ++i)
        if (!sizeTexts[i].empty()) known.push_back(sizeTexts[i]), knownAt.push_back(i);
    for (size_t k : SortedOrder(SizeSortKeys(known), descending))
        order.push_back(knownAt[k]);
    for (size_t i = 0; i < sizeTexts.size(); ++i)
        if (sizeTexts[i].empty()) order.push_back(i);
    return order;
}

} // namespace fileinfo
