#include "settings/option_number.h"

#include <gtest/gtest.h>

using namespace settings;

TEST(WholeNumber, AcceptsWhatTheBoxesAccept) {
    EXPECT_EQ(WholeNumber(L"12"), 12);
    EXPECT_EQ(WholeNumber(L" 12 "), 12);
    EXPECT_EQ(WholeNumber(L"\t12"), 12);
    EXPECT_EQ(WholeNumber(L"12.0"), 12);
    EXPECT_EQ(WholeNumber(L"12."), 12);
    EXPECT_EQ(WholeNumber(L".5"), 0);
    EXPECT_EQ(WholeNumber(L"+7"), 7);
    EXPECT_EQ(WholeNumber(L"-7"), -7);
    EXPECT_EQ(WholeNumber(L"1E4"), 10000);
    EXPECT_EQ(WholeNumber(L"1e+2"), 100);
    EXPECT_EQ(WholeNumber(L"25e-1"), 2); // 2.5
    EXPECT_EQ(WholeNumber(L"1D3"), 1000);
}

TEST(WholeNumber, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(WholeNumber(L"12.5"), 12);
    EXPECT_EQ(WholeNumber(L"13.5"), 14);
    EXPECT_EQ(WholeNumber(L"2.5"), 2);
    EXPECT_EQ(WholeNumber(L"2.51"), 3);
    EXPECT_EQ(WholeNumber(L"-2.5"), -2);
    EXPECT_EQ(WholeNumber(L"86400.5"), 86400);
    EXPECT_EQ(WholeNumber(L"600.5"), 600);
    EXPECT_EQ(WholeNumber(L"601.5"), 602);
}

TEST(WholeNumber, RefusesTextAndWhatDoesNotFit) {
    for (const wchar_t* bad : {L"", L"   ", L"abc", L"12a", L"1 2", L"1.2.3", L".", L"+", L"-", L"1e", L"1e+",
                               L"e5", L"0x10", L"1,000", L"١٢", L"inf", L"nan", L"--1"})
        EXPECT_FALSE(WholeNumber(bad)) << bad;
    EXPECT_EQ(WholeNumber(L"2147483647"), 2147483647);
    EXPECT_EQ(WholeNumber(L"-2147483648"), -2147483647 - 1);
    EXPECT_FALSE(WholeNumber(L"2147483648"));
    EXPECT_FALSE(WholeNumber(L"2147483647.5")); // rounds up past the top
    EXPECT_EQ(WholeNumber(L"2147483646.5"), 2147483646);
    EXPECT_FALSE(WholeNumber(L"1E99"));
    EXPECT_FALSE(WholeNumber(L"9E999"));
}

TEST(CheckIntervals, BoundsAreIncludedAndTheFirstBadBoxWins) {
    IntervalCheck ok = CheckIntervals(L"86400", L"600");
    EXPECT_EQ(ok.bad, IntervalBox::None);
    EXPECT_EQ(ok.wallpaper, 86400);
    EXPECT_EQ(ok.slideshow, 600);
    ok = CheckIntervals(L"3", L" 3.4 ");
    EXPECT_EQ(ok.bad, IntervalBox::None);
    EXPECT_EQ(ok.slideshow, 3);

    EXPECT_EQ(CheckIntervals(L"2", L"5").bad, IntervalBox::Text1);
    EXPECT_EQ(CheckIntervals(L"2.5", L"5").bad, IntervalBox::Text1); // 2 after rounding
    EXPECT_EQ(CheckIntervals(L"86401", L"5").bad, IntervalBox::Text1);
    EXPECT_EQ(CheckIntervals(L"-5", L"5").bad, IntervalBox::Text1);
    EXPECT_EQ(CheckIntervals(L"5", L"2").bad, IntervalBox::Text2);
    EXPECT_EQ(CheckIntervals(L"5", L"601").bad, IntervalBox::Text2);
    EXPECT_EQ(CheckIntervals(L"5", L"").bad, IntervalBox::Text2);
    // Letters in Text1: Text2 is not looked at, however wrong it is.
    EXPECT_EQ(CheckIntervals(L"abc", L"xyz").bad, IntervalBox::Text1);
    EXPECT_EQ(CheckIntervals(L"99999", L"xyz").bad, IntervalBox::Text1);
}
