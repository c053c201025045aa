#include "settings/path_text.h"

#include <gtest/gtest.h>

using namespace settings;

TEST(TrailingBackslash, AddedOnceOnly) {
    EXPECT_EQ(AddTrailingBackslash(L"C:\\"), L"C:\\");
    EXPECT_EQ(AddTrailingBackslash(L"C:\\Pictures"), L"C:\\Pictures\\");
    EXPECT_EQ(AddTrailingBackslash(L"C:\\Pictures\\"), L"C:\\Pictures\\");
    EXPECT_EQ(AddTrailingBackslash(L""), L"\\");
}

TEST(FileAddress, PrefixInAnyCaseBecomesALocalPath) {
    EXPECT_EQ(LocalPathOf(L"FILE:///C:/My%20Pictures/sea%20shore.jpg"), L"C:\\My Pictures\\sea shore.jpg");
    EXPECT_EQ(LocalPathOf(L"file:///D:/a.jpg"), L"D:\\a.jpg");
    EXPECT_EQ(LocalPathOf(L"File:///C:/x%2"), L"C:\\x%2");
    // Not an address: unchanged, slashes and %20 included.
    EXPECT_EQ(LocalPathOf(L"C:\\a%20b/c.jpg"), L"C:\\a%20b/c.jpg");
    EXPECT_EQ(LocalPathOf(L"file://C:/a.jpg"), L"file://C:/a.jpg");
}
