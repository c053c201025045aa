#include "settings/setting_text.h"

#include <gtest/gtest.h>

using namespace settings;

TEST(StoredNumbers, DecimalTextIsRead) {
    EXPECT_EQ(ParseStoredInt32(L"5", 9), 5);
    EXPECT_EQ(ParseStoredInt32(L" 86400 ", 9), 86400);
    EXPECT_EQ(ParseStoredInt32(L"-7", 9), -7);
    EXPECT_EQ(ParseStoredInt32(L"+12", 9), 12);
    EXPECT_EQ(ParseStoredInt32(L"2147483647", 9), 2147483647);
    EXPECT_EQ(ParseStoredInt32(L"-2147483648", 9), -2147483647 - 1);
}

TEST(StoredNumbers, AnythingElseGivesTheDefault) {
    for (const wchar_t* bad : {L"", L"  ", L"abc", L"5x", L"3.5", L"1e3", L"2147483648", L"-2147483649",
                               L"99999999999999999999999", L"+", L"- 5"})
        EXPECT_EQ(ParseStoredInt32(bad, 5), 5) << bad;
    EXPECT_EQ(ParseStoredInt16(L"1", 0), 1);
    EXPECT_EQ(ParseStoredInt16(L"32767", 0), 32767);
    EXPECT_EQ(ParseStoredInt16(L"32768", 0), 0);
    EXPECT_EQ(ParseStoredInt16(L"-32769", 0), 0);
    EXPECT_EQ(ParseStoredInt16(L"yes", 0), 0);
}

TEST(StoredNumbers, TicksAndHotkeysAreReadStrictly) {
    EXPECT_TRUE(ParseStoredFlag(L"1", false) && !ParseStoredFlag(L"0", true));
    for (const wchar_t* bad : {L"", L" 1", L"01", L"true"})
        EXPECT_TRUE(ParseStoredFlag(bad, true) && !ParseStoredFlag(bad, false)) << bad;
    for (auto [text, hotkey] :
         {std::pair{L" 1614 ", 1614}, {L"65535", 65535}, {L"65536", 0}, {L"-1", 0}, {L"0x64E", 0}})
        EXPECT_EQ(ParseStoredHotkey(text), hotkey) << text;
}
