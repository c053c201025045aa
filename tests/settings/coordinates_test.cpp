#include "settings/coordinates.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace settings;

TEST(Coordinates, WhatTheBoxesAcceptAndReject) {
    const std::optional<double> no;
    struct Case {
        const wchar_t* text;
        std::optional<double> latitude, longitude;
    } cases[] = {{L"39.9", 39.9, 39.9}, {L"-33.87", -33.87, -33.87}, {L" 116.4 ", no, 116.4},
                 {L"\t+12", 12, 12},    {L".5", 0.5, 0.5},           {L"12.", 12, 12},
                 {L"-0", 0, 0},         {L"-90.0", -90, -90},        {L"90.0001", no, 90.0001},
                 {L"180", no, 180}};
    for (const Case& c : cases) {
        EXPECT_EQ(ParseLatitude(c.text), c.latitude) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(ParseLongitude(c.text), c.longitude) << testing::PrintToString(std::wstring(c.text));
    }
    EXPECT_FALSE(std::signbit(*ParseLatitude(L"-0")));
    for (const wchar_t* text : {L"-180.5", L"", L"   ", L"-", L".", L"abc", L"1e5", L"1E1", L"NaN", L"inf",
                                L"-infinity", L"0x10", L"12abc", L"1.2.3", L"+-5", L"5-", L"1 2", L"1,5"})
        EXPECT_FALSE(ParseLatitude(text) || ParseLongitude(text))
            << testing::PrintToString(std::wstring(text));
}

TEST(Coordinates, AtMostFourDecimalsWithoutTrailingZeros) {
    struct Case {
        double value;
        const wchar_t* text;
    } cases[] = {{39.9042, L"39.9042"}, {116.4, L"116.4"},    {-33.87, L"-33.87"},   {12, L"12"},
                 {-0.00001, L"0"},      {0.12345, L"0.1235"}, {-179.99995, L"-180"}, {100.00004, L"100"}};
    for (const Case& c : cases)
        EXPECT_EQ(FormatCoordinate(c.value), c.text) << c.value;
}
