#include "browser/back_history.h"
#include "browser/browser_rows.h"

#include <gtest/gtest.h>

using namespace browser;
using Entries = std::vector<std::wstring>;

// Desktop → A → B → back, back, back.
TEST(BackHistory, EnteringAndGoingBackAsTheButtonDoes) {
    BackHistory h;
    h.Start(L"D");
    EXPECT_EQ(h.Entries(), Entries{L"D"});
    EXPECT_FALSE(h.BackEnabled());
    EXPECT_EQ(h.BackTarget(), nullptr);

    h.Enter(L"D\\A");
    h.Enter(L"D\\A\\B");
    EXPECT_TRUE(h.BackEnabled());
    ASSERT_NE(h.BackTarget(), nullptr);
    EXPECT_EQ(*h.BackTarget(), L"D\\A");
    h.StepBack();
    EXPECT_EQ(h.Entries(), (Entries{L"D", L"D\\A"}));
    EXPECT_EQ(*h.BackTarget(), L"D");
    h.StepBack();
    EXPECT_EQ(h.Entries(), Entries{L"D"});
    // The button stays enabled with one entry left; the next press only disables it.
    EXPECT_TRUE(h.BackEnabled());
    EXPECT_EQ(h.BackTarget(), nullptr);
    h.DisableBack();
    EXPECT_FALSE(h.BackEnabled());
    EXPECT_EQ(h.Entries(), Entries{L"D"});
}

TEST(BackHistory, ChoosingASpecialFolderStartsAgainAndLeavesTheButton) {
    BackHistory h;
    h.Start(L"D");
    h.Enter(L"D\\A");
    h.Start(L"Docs");
    EXPECT_EQ(h.Entries(), Entries{L"Docs"});
    EXPECT_TRUE(h.BackEnabled());
    EXPECT_EQ(h.BackTarget(), nullptr);
    h.DisableBack();
    h.Start(L"Temp");
    EXPECT_FALSE(h.BackEnabled());
    // Going back with nothing before changes nothing.
    h.StepBack();
    EXPECT_EQ(h.Entries(), Entries{L"Temp"});
}

TEST(BrowserRows, KeysFolderRecognitionAndPerEntryIcons) {
    EXPECT_EQ(FolderPrefix(L"C:\\") + L"a.txt", L"C:\\a.txt");
    EXPECT_EQ(FolderPrefix(L"C:\\Data") + L"a.txt", L"C:\\Data\\a.txt");
    BrowserRow row;
    row.Type = L"文件夹";
    EXPECT_TRUE(row.IsFolder());
    for (const wchar_t* other : {L"Folder", L"File folder", L"系统文件夹", L""}) {
        row.Type = other;
        EXPECT_FALSE(row.IsFolder()) << row.Type;
    }
    for (const wchar_t* own : {L"exe", L"EXE", L"lnk", L"ico", L"Url"})
        EXPECT_TRUE(IconDiffersPerEntry(own)) << own;
    for (const wchar_t* kind : {L"txt", L"jpg", L"", L"exe.txt"})
        EXPECT_FALSE(IconDiffersPerEntry(kind)) << kind;
}
