#include "browser/live_changes.h"

#include <gtest/gtest.h>

using namespace browser;
using Names = std::vector<std::wstring>;

TEST(GatherChanges, EntriesOnceEachAndSubfoldersByTheirFirstName) {
    ListChanges c = GatherChanges({L"a.txt", L"A.TXT", L"新建文件夹", L"照片\\2024\\x.jpg", L"照片\\y.jpg",
                                   L"照片", L"b.txt", L"另一个\\z"});
    EXPECT_EQ(c.entries, (Names{L"a.txt", L"新建文件夹", L"照片", L"b.txt"}));
    EXPECT_EQ(c.subfolders, (Names{L"照片", L"另一个"}));
    EXPECT_TRUE(GatherChanges({}).entries.empty());
}

TEST(WalkThrottle, OneWalkPerSubfolderEveryTwoSeconds) {
    WalkThrottle t(2000);
    // Never walked: at once.
    t.Changed(L"a");
    EXPECT_EQ(t.Due(100), Names{L"a"});
    EXPECT_FALSE(t.Waiting());
    // A storm of changes right after the walk waits for the interval, then gives one walk.
    for (uint64_t now : {200, 900, 1500}) {
        t.Changed(L"A");
        EXPECT_TRUE(t.Due(now).empty()) << now;
    }
    EXPECT_TRUE(t.Waiting());
    EXPECT_EQ(t.Due(2100), Names{L"A"});
    EXPECT_TRUE(t.Due(2200).empty());
    // A listing's walk counts too; other subfolders are apart.
    t.Walked(L"b", 3000);
    t.Changed(L"b");
    t.Changed(L"c");
    EXPECT_EQ(t.Due(3500), Names{L"c"});
    EXPECT_EQ(t.Due(5000), Names{L"b"});
    t.Changed(L"b");
    t.Clear();
    EXPECT_FALSE(t.Waiting());
}
