#include "wallpaper/choosing/wallpaper_history.h"

#include <gtest/gtest.h>
#include <set>

using namespace wallpaper;

namespace {
Arrangement One(const std::wstring& path) {
    return {{L"", path}};
}
const auto All = [](const std::wstring&) { return true; };
} // namespace

TEST(WallpaperHistory, BackForwardAndANewWallpaperAfterGoingBack) {
    WallpaperHistory h;
    EXPECT_FALSE(h.CanGoBack(All) || h.Back(All));
    for (const wchar_t* p : {L"a", L"b", L"b", L"c", L"d", L"e"})
        h.Add(One(p)); // b twice is kept once
    ASSERT_EQ(h.Entries().size(), 5u);
    EXPECT_FALSE(h.Forward(All));

    // c and d are deleted; b is on a monitor's arrangement together with a deleted picture.
    h.Add({{L"M1", L"x"}, {L"M2", L"b"}});
    const std::set<std::wstring> gone{L"c", L"d", L"x"};
    const auto exists = [&](const std::wstring& p) { return !gone.contains(p); };
    EXPECT_EQ(h.Back(exists), One(L"e"));
    EXPECT_EQ(h.Back(exists), One(L"b")); // d and c passed over, and kept
    EXPECT_EQ(h.Back(exists), One(L"a"));
    EXPECT_FALSE(h.CanGoBack(exists) || h.Back(exists));
    EXPECT_EQ(h.Current(), 0u);
    EXPECT_EQ(h.Forward(exists), One(L"b"));
    EXPECT_EQ(h.Forward(exists), One(L"e"));
    EXPECT_EQ(h.Forward(exists), h.Entries().back());
    EXPECT_TRUE(h.AtNewest());
    h.Back(exists);
    h.Add(One(L"f")); // the one ahead goes
    EXPECT_EQ(h.Entries().size(), 6u);
    EXPECT_EQ(h.Entries().back(), One(L"f"));
}

TEST(WallpaperHistory, BoundedAndKeptAsText) {
    WallpaperHistory h;
    for (int i = 0; i < 105; ++i)
        h.Add(One(std::to_wstring(i)));
    ASSERT_EQ(h.Entries().size(), WallpaperHistory::Limit);
    EXPECT_EQ(h.Entries().front(), One(L"5"));

    h.Add({{L"\\\\?\\DISPLAY#1", L"C:\\图片\\山 水.jpg"}, {L"\\\\?\\DISPLAY#2", L"D:\\風景.png"}});
    h.Back(All);
    const WallpaperHistory back = WallpaperHistory::Parse(h.Text());
    EXPECT_EQ(back.Entries(), h.Entries());
    EXPECT_TRUE(back.AtNewest());

    // Damaged lines are skipped; of more than Limit entries the newest are kept.
    const WallpaperHistory damaged = WallpaperHistory::Parse(L"\n\tC:\\a.jpg\r\nM1\tC:\\b.jpg\tM2\n" +
                                                             std::wstring(L"M1\t\nno tab\n\tC:\\c.jpg"));
    EXPECT_EQ(damaged.Entries(), (std::vector<Arrangement>{One(L"C:\\a.jpg"), One(L"C:\\c.jpg")}));
    EXPECT_EQ(damaged.Current(), 1u);
    EXPECT_EQ(WallpaperHistory::Parse(h.Text() + L"\tlast\n").Entries().front(), h.Entries()[1]);
}
