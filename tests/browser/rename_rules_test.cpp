#include "browser/rename_rules.h"

#include <gtest/gtest.h>
#include <set>

using namespace browser;

// Which names are refused is one table against real files (list_keys_test.cpp).
TEST(RenameRules, CopiesTakeTheFirstFreeNameAndDropsMoveOnlyOnTheSameDrive) {
    std::set<std::wstring> names{L"a.txt", L"a - 副本.txt", L"a - 副本 (2).txt", L"相册 - 副本"};
    auto taken = [&](const std::wstring& n) { return names.count(n) > 0; };
    EXPECT_EQ(CopyName(L"a.txt", false, taken), L"a - 副本 (3).txt");
    EXPECT_EQ(CopyName(L"b.tar.gz", false, taken), L"b.tar - 副本.gz");
    EXPECT_EQ(CopyName(L"相册", true, taken), L"相册 - 副本 (2)");
    EXPECT_EQ(CopyName(L"v1.2", true, taken), L"v1.2 - 副本");
    EXPECT_EQ(CopyName(L".profile", false, taken), L".profile - 副本");
    EXPECT_EQ(RenameStemLength(L"报告.final.docx", false), 8u);

    using A = DropAction;
    struct {
        const wchar_t *from, *into;
        bool ctrl, shift, canCopy, canMove;
        A action;
    } cases[] = {
        {L"C:\\a\\f", L"c:\\b", 0, 0, 1, 1, A::Move},
        {L"C:\\a\\f", L"Z:\\tmp", 0, 0, 1, 1, A::Copy},
        {L"C:\\a\\f", L"c:\\b", 1, 0, 1, 1, A::Copy},
        {L"C:\\a\\f", L"Z:\\tmp", 0, 1, 1, 1, A::Move},
        {L"C:\\a\\f", L"c:\\b", 0, 0, 1, 0, A::Copy},
        {L"C:\\a\\f", L"Z:\\b", 0, 0, 0, 1, A::Move},
        {L"C:\\a\\f", L"c:\\b", 1, 0, 0, 1, A::None},
        {L"C:\\a\\f", L"c:\\b", 1, 1, 1, 1, A::None},
        {L"\\\\s\\x\\f", L"\\\\S\\X\\y", 0, 0, 1, 1, A::Move},
        {L"\\\\s\\x\\f", L"\\\\s\\y", 0, 0, 1, 1, A::Copy},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseDropAction(c.from, c.into, c.ctrl, c.shift, c.canCopy, c.canMove), c.action)
            << testing::PrintToString(std::wstring(c.from) + L" → " + c.into);
}
