#include "browser/live_changes.h"

#include <gtest/gtest.h>

#include <algorithm>

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

TEST(ChangeGathering, TellsOnceAQuietSpellEndsAndStaysBoundedForAFullRead) {
    ChangeGathering g(3);
    EXPECT_TRUE(g.Add(L"a"));
    EXPECT_FALSE(g.Add(L"b"));
    EXPECT_EQ(g.Take().paths, (Names{L"a", L"b"}));
    EXPECT_TRUE(g.Take().Empty());
    // Past the limit, or lost by the system: the names go, and the folder is read whole once.
    for (const wchar_t* p : {L"a", L"b", L"c", L"d", L"e"})
        g.Add(p);
    SeenChanges s = g.Take();
    EXPECT_TRUE(s.overflow);
    EXPECT_TRUE(s.paths.empty());
    EXPECT_TRUE(g.Lost());
    EXPECT_FALSE(g.Add(L"f"));
    EXPECT_FALSE(g.Failed());
    s = g.Take();
    EXPECT_TRUE(s.overflow && s.failed && s.paths.empty());
    EXPECT_TRUE(g.Failed());
}

TEST(WalkThrottle, NextDueIsTheEarliestWaitingWalk) {
    WalkThrottle t(2000);
    EXPECT_EQ(t.NextDue(), 0u);
    t.Walked(L"a", 1000);
    t.Walked(L"b", 500);
    t.Changed(L"a");
    EXPECT_EQ(t.NextDue(), 3000u);
    t.Changed(L"b");
    EXPECT_EQ(t.NextDue(), 2500u);
    t.Changed(L"new"); // never walked: at once
    EXPECT_EQ(t.NextDue(), 1u);
    // Gone from the folder: nothing waits for them.
    for (const wchar_t* gone : {L"NEW", L"b", L"a"})
        t.Forget(gone);
    EXPECT_EQ(t.NextDue(), 0u);
    EXPECT_FALSE(t.Waiting());
}

TEST(KnownEntries, TellsOnlyWhatDiffersFromTheList) {
    KnownEntries k;
    k.Reset({{L"a.txt", 1, false}, {L"照片", 2, true}, {L"b.txt", 3, false}});
    std::wstring before, shown;
    // As known: nothing to tell. Changed, new, or another letter case: told, the old name with it.
    EXPECT_FALSE(k.Found({L"a.txt", 1, false}, &before));
    EXPECT_TRUE(k.Found({L"a.txt", 9, false}, &before));
    EXPECT_TRUE(before.empty());
    EXPECT_TRUE(k.Found({L"照片", 2, false}, &before)); // a file in place of the folder
    EXPECT_TRUE(k.Found({L"new.txt", 4, false}, &before));
    EXPECT_FALSE(k.Found({L"new.txt", 4, false}, &before));
    EXPECT_TRUE(k.Found({L"A.TXT", 9, false}, &before));
    EXPECT_EQ(before, L"a.txt");
    // Gone: told once, under the name the list shows.
    EXPECT_TRUE(k.Lost(L"a.txt", &shown));
    EXPECT_EQ(shown, L"A.TXT");
    EXPECT_FALSE(k.Lost(L"a.txt", &shown));
    // A whole read: whatever it did not find is gone, and only that.
    k.BeginRead();
    EXPECT_TRUE(k.Found({L"NEW.TXT", 4, false}, &before));
    EXPECT_EQ(before, L"new.txt");
    Names gone = k.EndRead();
    std::sort(gone.begin(), gone.end());
    EXPECT_EQ(gone, (Names{L"b.txt", L"照片"}));
    k.BeginRead();
    EXPECT_FALSE(k.Found({L"NEW.TXT", 4, false}, &before));
    EXPECT_TRUE(k.EndRead().empty());
}
