#include "fileinfo/list_sort.h"

#include <gtest/gtest.h>

using namespace fileinfo;

TEST(ColumnClick, SizeFlipsOnEveryClickOthersReverseOnlyOnASecondClick) {
    ListSortState s; // the list starts with SortKey 0 (名称), ascending
    // "名称" is already the sort column: the first click reverses.
    EXPECT_EQ(ListView1_ColumnClick(s, 1), (SortRequest{ColumnName, 1, false}));
    EXPECT_EQ(ListView1_ColumnClick(s, 1), (SortRequest{ColumnName, 0, false}));
    // A new column starts ascending.
    EXPECT_EQ(ListView1_ColumnClick(s, 3), (SortRequest{ColumnType, 0, false}));
    EXPECT_EQ(ListView1_ColumnClick(s, 3), (SortRequest{ColumnType, 1, false}));
    // The size column flips whatever was before: descending after an ascending sort, …
    s = {ColumnDate, 0};
    EXPECT_EQ(ListView1_ColumnClick(s, 2), (SortRequest{ColumnSize, 1, true}));
    EXPECT_EQ(ListView1_ColumnClick(s, 2), (SortRequest{ColumnSize, 0, true}));
    EXPECT_EQ(ListView1_ColumnClick(s, 2), (SortRequest{ColumnSize, 1, true}));
    // … ascending after a descending one.
    s = {ColumnName, 1};
    EXPECT_EQ(ListView1_ColumnClick(s, 2), (SortRequest{ColumnSize, 0, true}));
    // After a size sort any other column starts ascending, even after a descending size sort.
    s = {ColumnName, 0};
    ListView1_ColumnClick(s, 2);
    EXPECT_EQ(ListView1_ColumnClick(s, 1), (SortRequest{ColumnName, 0, false}));
    ListView1_ColumnClick(s, 2);
    EXPECT_EQ(ListView1_ColumnClick(s, 4), (SortRequest{ColumnDate, 0, false}));
    EXPECT_EQ(s.SortKey, ColumnDate);
}

TEST(SizeSort, ByValueNotByTextAndStable) {
    std::vector<std::wstring> sizes{L"9.50", L"1,024.00", L"10.00", L"9.50", L"not a size"};
    std::vector<int64_t> keys = SizeSortKeys(sizes);
    EXPECT_EQ(SortedOrder(keys, false), (std::vector<size_t>{4, 0, 3, 2, 1}));
    // Descending keeps equal rows in their order too.
    EXPECT_EQ(SortedOrder(keys, true), (std::vector<size_t>{1, 2, 0, 3, 4}));
    EXPECT_TRUE(SortedOrder(std::vector<int64_t>{}, true).empty());
}

TEST(SizeSort, SizesNotKnownYetComeLastInBothDirections) {
    std::vector<std::wstring> sizes{L"", L"9.50", L"", L"1,024.00", L"0.00"};
    EXPECT_EQ(SizeOrder(sizes, false), (std::vector<size_t>{4, 1, 3, 0, 2}));
    EXPECT_EQ(SizeOrder(sizes, true), (std::vector<size_t>{3, 1, 4, 0, 2}));
    EXPECT_EQ(SizeOrder({L"", L""}, true), (std::vector<size_t>{0, 1}));
}
