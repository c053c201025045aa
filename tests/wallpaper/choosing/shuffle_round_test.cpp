#include "wallpaper/choosing/shuffle_round.h"

#include <algorithm>
#include <cwctype>
#include <gtest/gtest.h>
#include <set>

using namespace wallpaper;
using Names = std::vector<std::wstring>;

namespace {
Names Pictures(int count) {
    Names names;
    for (int i = 0; i < count; ++i)
        names.push_back(L"pic" + std::to_wstring(i) + L".jpg");
    return names;
}
std::wstring Upper(std::wstring s) {
    for (wchar_t& c : s)
        c = static_cast<wchar_t>(std::towupper(c));
    return s;
}
} // namespace

// Each change lets `monitors` monitors take the first pictures Coming shows, in its order; with 2
// pictures and 3 monitors, some rounds end taken out of the order the next round was shown after.
TEST(ShuffleRound, EveryPictureOncePerRoundNoRepeatAcrossRoundsAndTheShownOrderKept) {
    for (size_t size : {1, 2, 3, 7, 20})
        for (size_t monitors : {1, 2, 3})
            for (uint64_t seed = 1; seed <= 20; ++seed) {
                const Names names = Pictures(int(size));
                ShuffleRound s(seed);
                Names taken;
                std::vector<std::pair<size_t, Names>> shown; // at which take, what Coming gave
                while (taken.size() < size * 4) {
                    const Names& coming = shown.emplace_back(taken.size(), s.Coming(names)).second;
                    for (size_t m = 0; m < std::min(monitors, coming.size()); ++m)
                        s.Took(taken.emplace_back(coming[m]));
                }
                const auto trace = testing::Message()
                                   << size << " pictures, " << monitors << " monitors, seed " << seed;
                for (size_t r = 0; r + size <= taken.size(); r += size) {
                    EXPECT_EQ(std::set(taken.begin() + r, taken.begin() + r + size),
                              std::set(names.begin(), names.end()))
                        << trace;
                    EXPECT_TRUE(r == 0 || size == 1 || taken[r - 1] != taken[r])
                        << trace << ", round " << r / size;
                }
                for (const auto& [at, coming] : shown) {
                    if (at + coming.size() > taken.size()) continue;
                    EXPECT_EQ(coming, Names(taken.begin() + at, taken.begin() + at + coming.size())) << trace;
                }
            }
}

// Two pictures taken, then one not yet shown deleted, one added, and the rest now spelt in capitals.
TEST(ShuffleRound, TheListChangingDuringARoundAndTwoMonitorsAcrossTheBoundary) {
    std::set<size_t> placesOfTheNewOne;
    for (uint64_t seed = 1; seed <= 30; ++seed) {
        ShuffleRound s(seed);
        const Names before = Pictures(5);
        const std::wstring first = *s.Next(before);
        s.Next(before);
        const Names rest = s.Coming(before); // 3 more in this round
        Names after{L"new.jpg"};
        for (const std::wstring& n : before)
            if (n != rest[0]) after.push_back(Upper(n));
        const Names c = s.Coming(after);
        ASSERT_EQ(c.size(), 8u) << seed;
        EXPECT_EQ(std::set(c.begin(), c.begin() + 3),
                  (std::set<std::wstring>{Upper(rest[1]), Upper(rest[2]), L"new.jpg"}));
        EXPECT_EQ(std::set(c.begin() + 3, c.end()), std::set(after.begin(), after.end()));
        placesOfTheNewOne.insert(std::find(c.begin(), c.end(), L"new.jpg") - c.begin());
        // One monitor takes from this round, one wanting another shape from the next (spelt as it was):
        // the round rolls over and the two left of it are dropped.
        s.Took(c[0]);
        s.Took(first);
        Names rolled = s.Coming(after), expected(c.begin() + 3, c.end());
        std::erase(expected, Upper(first));
        EXPECT_EQ(Names(rolled.begin(), rolled.begin() + 4), expected) << seed;
    }
    EXPECT_EQ(placesOfTheNewOne, (std::set<size_t>{0, 1, 2}));
    EXPECT_FALSE(ShuffleRound(1).Next({}));
}
