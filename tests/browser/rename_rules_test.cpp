#include "browser/rename_rules.h"

#include <gtest/gtest.h>
#include <set>

using namespace browser;

TEST(RenameRules, RefusedNamesSayWhy) {
    struct Case {
        std::wstring name;
        const wchar_t* says; // nullptr: allowed
    };
    const Case cases[] = {
        {L"", L"不能为空"},
        {L"a/b.txt", L"不能包含"},
        {L"a:b", L"不能包含"},
        {L"问?.txt", L"不能包含"},
        {L"x|y", L"不能包含"},
        {L"tab\there", L"不能包含"},
        {L"a\x1f", L"不能包含"},
        {L"name.", L"句点或空格结尾"},
        {L"name ", L"句点或空格结尾"},
        {L"CON", L"设备名"},
        {L"nul.txt", L"设备名"},
        {L"Com7.tar.gz", L"设备名"},
        {L"lpt1 .log", L"设备名"},
        {L"COM0", nullptr},
        {L"CONSOLE.txt", nullptr},
        {L"LPT10", nullptr},
        {L".gitignore", nullptr},
        {L"新 文件.txt", nullptr},
        {L"a.b.c", nullptr},
        {L" leading", nullptr},
    };
    for (const Case& c : cases) {
        std::wstring refusal = RenameRefusal(c.name);
        if (c.says)
            EXPECT_NE(refusal.find(c.says), std::wstring::npos) << testing::PrintToString(c.name);
        else
            EXPECT_EQ(refusal, L"") << testing::PrintToString(c.name);
    }
    EXPECT_EQ(RenameStemLength(L"报告.final.docx", false), 8u);
    EXPECT_EQ(RenameStemLength(L"报告.final", true), 8u);
    EXPECT_EQ(RenameStemLength(L".gitignore", false), 10u);
}

TEST(RenameRules, CopiesTakeTheFirstFreeName) {
    std::set<std::wstring> names{L"a.txt", L"a - 副本.txt", L"a - 副本 (2).txt", L"相册 - 副本"};
    auto taken = [&](const std::wstring& n) { return names.count(n) > 0; };
    EXPECT_EQ(CopyName(L"a.txt", false, taken), L"a - 副本 (3).txt");
    EXPECT_EQ(CopyName(L"b.txt", false, taken), L"b - 副本.txt");
    EXPECT_EQ(CopyName(L"相册", true, taken), L"相册 - 副本 (2)");
    EXPECT_EQ(CopyName(L"v1.2", true, taken), L"v1.2 - 副本");
    EXPECT_EQ(CopyName(L"README", false, taken), L"README - 副本");
}

TEST(RenameRules, DropsMoveOnTheSameDriveAndCopyAcross) {
    using A = DropAction;
    struct Case {
        const wchar_t *from, *into;
        bool ctrl, shift, canCopy, canMove;
        A action;
    } cases[] = {
        {L"C:\\a\\f.txt", L"c:\\b", false, false, true, true, A::Move},
        {L"C:\\a\\f.txt", L"Z:\\tmp", false, false, true, true, A::Copy},
        {L"C:\\a\\f.txt", L"c:\\b", true, false, true, true, A::Copy},
        {L"C:\\a\\f.txt", L"Z:\\tmp", false, true, true, true, A::Move},
        {L"C:\\a\\f.txt", L"c:\\b", false, false, true, false, A::Copy},
        {L"C:\\a\\f.txt", L"Z:\\b", false, false, false, true, A::Move},
        {L"C:\\a\\f.txt", L"c:\\b", true, false, false, true, A::None},
        {L"C:\\a\\f.txt", L"c:\\b", true, true, true, true, A::None},
        {L"\\\\srv\\share\\f", L"\\\\SRV\\Share\\x", false, false, true, true, A::Move},
        {L"\\\\srv\\one\\f", L"\\\\srv\\two", false, false, true, true, A::Copy},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseDropAction(c.from, c.into, c.ctrl, c.shift, c.canCopy, c.canMove), c.action)
            << testing::PrintToString(std::wstring(c.from)) << " → "
            << testing::PrintToString(std::wstring(c.into));
}
