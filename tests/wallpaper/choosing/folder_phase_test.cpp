#include "wallpaper/choosing/folder_phase.h"

#include <gtest/gtest.h>

using namespace wallpaper;

TEST(FolderPhase, OnlyTheFirstFolderCountsExactly) {
    const std::optional<Phase> day = Phase::Day, night = Phase::Night, none;
    // "白天" alone is a picture of that name.
    using Case = std::pair<const wchar_t*, std::optional<Phase>>;
    const Case cases[] = {{L"白天\\a.jpg", day},
                          {L"夜晚\\sub\\b.jpg", night},
                          {L"白天\\夜晚\\c.jpg", day},
                          {L"a.jpg", none},
                          {L"白天", none},
                          {L"白天.jpg", none},
                          {L"sub\\白天\\a.jpg", none},
                          {L"白天 \\a.jpg", none},
                          {L"白天夜晚\\a.jpg", none},
                          {L"\\白天\\a.jpg", none},
                          {L"", none}};
    for (auto [name, phase] : cases)
        EXPECT_EQ(FolderPhase(name), phase) << testing::PrintToString(std::wstring(name));
}
