// Event names, the text of log entries and the duplicate rule.
#include "monitor/log_entry.h"
#include "monitor/shell_events.h"

#include <gtest/gtest.h>

using namespace monitor;

TEST(ShellEventName, NamesExactlyTheKnownValues) {
    EXPECT_EQ(ShellEventName(0x8000), L"SHCNE_UPDATEIMAGE");
    EXPECT_EQ(ShellEventName(0x1), L"SHCNE_RENAMEITEM");
    EXPECT_EQ(ShellEventName(0x40000), L"SHCNE_FREESPACE");
    EXPECT_EQ(ShellEventName(0x2381F), L"SHCNE_DISKEVENTS");
    EXPECT_EQ(ShellEventName(0xC0581E0), L"SHCNE_GLOBALEVENTS");
    EXPECT_EQ(ShellEventName(0x7FFFFFFF), L"SHCNE_ALLEVENTS");
    EXPECT_EQ(ShellEventName(0x80000000), L"SHCNE_INTERRUPT");
    // Combinations are compared, not taken apart.
    EXPECT_EQ(ShellEventName(0x3), L"");
    EXPECT_EQ(ShellEventName(0x80000002), L"");
    EXPECT_EQ(ShellEventName(0), L"");
    int named = 0;
    for (std::uint32_t bit = 1; bit; bit <<= 1)
        named += !ShellEventName(bit).empty();
    EXPECT_EQ(named, 21); // the 19 bits 0x1 … 0x40000, then 0x8000000 and 0x80000000
}

TEST(EntryText, ItemsWithNamesPathsAndInvalidOnes) {
    Notification rename{
        0x1, {}, ItemNames{L"a.txt", L"C:\\Temp\\a.txt"}, ItemNames{L"b.txt", L"C:\\Temp\\b.txt"}};
    EXPECT_EQ(EntryText(L"2004-6-21 14:05:09", rename), L"[2004-6-21 14:05:09] SHCNE_RENAMEITEM\r\n"
                                                        L"名称I: a.txt\r\n"
                                                        L"路径I: C:\\Temp\\a.txt\r\n"
                                                        L"名称II: b.txt\r\n"
                                                        L"路径II: C:\\Temp\\b.txt\r\n");

    // A virtual folder has a name and no path; a single item gives no second lines.
    Notification virtualFolder{0x2000, {}, ItemNames{L"控制面板", L""}, std::nullopt};
    EXPECT_EQ(EntryText(L"t", virtualFolder), L"[t] SHCNE_UPDATEITEM\r\n名称I: 控制面板\r\n路径I: \r\n");

    Notification unnamed{0x4, {}, ItemNames{}, ItemNames{L"", L"C:\\ignored"}};
    EXPECT_EQ(EntryText(L"t", unnamed),
              L"[t] SHCNE_DELETE\r\nfirst item is invalid\r\nsecond item is invalid\r\n");

    // An unknown event with no items is the head line alone, ending right after "] ".
    EXPECT_EQ(EntryText(L"t", Notification{0x3}), L"[t] \r\n");
}

TEST(EntryText, NumbersOfImageUpdateAndFreeSpace) {
    EXPECT_EQ(EntryText(L"t", Notification{0x8000, 17u}),
              L"[t] SHCNE_UPDATEIMAGE\r\nIndex of image in system imagelist: 17\r\n");
    EXPECT_EQ(EntryText(L"t", Notification{0x8000, 0xFFFFFFFFu}),
              L"[t] SHCNE_UPDATEIMAGE\r\nIndex of image in system imagelist: 4294967295\r\n");
    EXPECT_EQ(EntryText(L"t", Notification{0x40000, 0xCu}), L"[t] SHCNE_FREESPACE\r\nC:\\\r\nD:\\\r\n");
    EXPECT_EQ(EntryText(L"t", Notification{0x40000, 0x2000001u}), L"[t] SHCNE_FREESPACE\r\nA:\\\r\nZ:\\\r\n");
    // Bits above Z name no drive; a missing item gives no detail; items of these events are not shown.
    EXPECT_EQ(EntryText(L"t", Notification{0x40000, 0xFC000000u}), L"[t] SHCNE_FREESPACE\r\n");
    EXPECT_EQ(EntryText(L"t", Notification{0x8000, std::nullopt, ItemNames{L"x", L"y"}}),
              L"[t] SHCNE_UPDATEIMAGE\r\n");
}

TEST(LoggedEntries, SameTextIgnoringCaseIsADuplicate) {
    Notification create{0x2, {}, ItemNames{L"New.TXT", L"C:\\Temp\\New.TXT"}};
    Notification lower{0x2, {}, ItemNames{L"new.txt", L"c:\\temp\\new.txt"}};
    LoggedEntries logged;
    EXPECT_TRUE(logged.Add(EntryText(L"2024-1-2 10:00:00", create)));
    // The same notification again within the same second.
    EXPECT_FALSE(logged.Add(EntryText(L"2024-1-2 10:00:00", create)));
    EXPECT_FALSE(logged.Add(EntryText(L"2024-1-2 10:00:00", lower)));
    // A second later it is a new entry.
    EXPECT_TRUE(logged.Add(EntryText(L"2024-1-2 10:00:01", create)));
    EXPECT_EQ(logged.size(), 2u);

    // Once the log's text is replaced, nothing counts as logged.
    logged.Clear();
    EXPECT_TRUE(logged.Add(EntryText(L"2024-1-2 10:00:00", create)));

    // The fold decides what counts as letter case.
    LoggedEntries exact([](std::wstring&) {});
    EXPECT_TRUE(exact.Add(L"A"));
    EXPECT_TRUE(exact.Add(L"a"));
}
