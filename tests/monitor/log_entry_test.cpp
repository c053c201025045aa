// Event names, the text of log entries and the duplicate rule.
#include "monitor/log_entry.h"
#include "monitor/shell_events.h"

#include <gtest/gtest.h>
#include <vector>

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

TEST(EntryLog, KeepsTheNewestEntriesAndCountsTheDroppedOnesInOneLineAtTheTop) {
    auto entry = [](int i) { return L"[t] SHCNE_CREATE\r\n名称I: " + std::to_wstring(i) + L"\r\n"; };
    // Three kept, two dropped at a time: the oldest two go once five are held.
    struct Step {
        int add;
        bool added;
        std::vector<int> shown;
        size_t dropped;
    };
    const Step steps[] = {
        {1, true, {1}, 0},        {2, true, {1, 2}, 0},       {2, false, {1, 2}, 0},
        {3, true, {1, 2, 3}, 0},  {4, true, {1, 2, 3, 4}, 0}, {5, true, {3, 4, 5}, 2},
        {4, false, {3, 4, 5}, 2}, {1, true, {3, 4, 5, 1}, 2}, // gone from the log, so no longer a duplicate
        {6, true, {5, 1, 6}, 4},
    };
    EntryLog log(&FoldAsciiCase, 3, 2);
    for (const Step& s : steps) {
        EXPECT_EQ(log.Add(entry(s.add)), s.added) << s.add;
        std::wstring expected = s.dropped ? DroppedLine(s.dropped) + L"\r\n\r\n" : L"";
        for (int i : s.shown)
            expected += entry(i) + L"\r\n";
        EXPECT_EQ(log.Text(), expected) << s.add;
        EXPECT_EQ(log.Dropped(), s.dropped) << s.add;
        EXPECT_EQ(log.Entries(), s.shown.size()) << s.add;
    }
    EXPECT_EQ(DroppedLine(12345), L"……已省略较早的 12345 条记录");
    // Line by line, and a part of them, as the list and a copy read them.
    EXPECT_EQ(log.LineCount(), 2u + 3 * 3);
    EXPECT_EQ(log.Line(0), DroppedLine(4));
    EXPECT_EQ(log.Line(2), L"[t] SHCNE_CREATE");
    EXPECT_EQ(log.Text(3, 2), L"名称I: 5\r\n\r\n");
    EXPECT_EQ(log.LinesDropped(), 4u * 3);

    // A notice replaces everything and is no entry: it goes with the oldest, uncounted.
    log.Replace(L"正在工作...");
    EXPECT_EQ(log.Text(), L"正在工作...\r\n");
    EXPECT_EQ(log.Entries(), 0u);
    EXPECT_EQ(log.Dropped(), 0u);
    for (int i = 6; i <= 9; ++i)
        EXPECT_TRUE(log.Add(entry(i)));
    EXPECT_EQ(log.Text(),
              DroppedLine(1) + L"\r\n\r\n" + entry(7) + L"\r\n" + entry(8) + L"\r\n" + entry(9) + L"\r\n");
    log.Replace({});
    EXPECT_EQ(log.LineCount(), 0u);
    EXPECT_TRUE(log.Add(entry(9)));
}
