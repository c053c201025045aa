#include "wallpaper/choosing/picture_marks.h"

#include <gtest/gtest.h>
#include <string>

using namespace wallpaper;

TEST(PictureMarks, TextRoundTripKeepsEveryMarkAndTheOrder) {
    PictureMarks marks;
    marks.Set(L"D:\\照片\\猫.jpg", Mark::Favourite);
    marks.Set(L"\\\\nas\\图片\\雪山.png", Mark::Never);
    marks.Set(L"C:\\p.jpg", Mark::None);
    marks.Set(L"D:\\照片\\猫.jpg", Mark::Never); // set again: now the newest
    const std::wstring text =
        L"不再显示\t\\\\nas\\图片\\雪山.png\n无\tC:\\p.jpg\n不再显示\tD:\\照片\\猫.jpg\n";
    EXPECT_EQ(marks.Text(), text);
    PictureMarks read = PictureMarks::Parse(text);
    EXPECT_EQ(read.Text(), text);
    EXPECT_EQ(read.UserMark(L"\\\\nas\\图片\\雪山.png"), Mark::Never);
    EXPECT_EQ(read.UserMark(L"D:\\照片\\猫.jpg"), Mark::Never);
    EXPECT_FALSE(read.UserMark(L"D:\\照片\\狗.jpg"));
}

TEST(PictureMarks, TheUsersMarkWinsOverTheFilesEvenWhenItIsNone) {
    PictureMarks marks = PictureMarks::Parse(L"无\tC:\\rated5.jpg\n收藏\tC:\\rejected.jpg\n");
    EXPECT_EQ(marks.MarkOf(L"C:\\rated5.jpg", Mark::Favourite), Mark::None);
    EXPECT_EQ(marks.MarkOf(L"C:\\rejected.jpg", Mark::Never), Mark::Favourite);
    EXPECT_EQ(marks.MarkOf(L"C:\\other.jpg", Mark::Favourite), Mark::Favourite);
    EXPECT_EQ(marks.MarkOf(L"C:\\other.jpg", Mark::None), Mark::None);
}

TEST(PictureMarks, PathsCompareAsWindowsFileNames) {
    struct Case {
        const wchar_t *set, *asked;
        bool same;
    } cases[] = {
        {L"C:\\Pics\\A.JPG", L"c:\\pics\\a.jpg", true},
        {L"C:\\Ärger\\ÿ.jpg", L"C:\\äRGER\\Ÿ.jpg", true},
        {L"C:\\Łódź\\Żółw.jpg", L"c:\\łÓDŹ\\żÓŁW.jpg", true},
        {L"C:\\Ωμεγα\\Москва.jpg", L"C:\\ωΜΕΓΑ\\москва.jpg", true},
        {L"D:\\照片\\猫.jpg", L"D:\\照片\\狗.jpg", false},
        {L"C:\\Straße.jpg", L"C:\\STRASSE.jpg", false},
        {L"C:\\a.jpg", L"C:\\a.jpg ", false},
        {L"C:\\a.jpg", L"C:\\a.jpe", false},
    };
    for (const Case& c : cases) {
        PictureMarks marks;
        marks.Set(c.set, Mark::Favourite);
        EXPECT_EQ(marks.UserMark(c.asked).has_value(), c.same) << c.asked;
        // The same picture spelt otherwise takes the entry over, with the new spelling.
        marks.Set(c.asked, Mark::Never);
        EXPECT_EQ(marks.Size(), c.same ? 1u : 2u) << c.asked;
        EXPECT_EQ(marks.UserMark(c.set), c.same ? Mark::Never : Mark::Favourite) << c.asked;
    }
}

TEST(PictureMarks, DamagedLinesAndUnstorablePathsAreSkipped) {
    PictureMarks marks = PictureMarks::Parse(L"\xFEFF收藏\tC:\\good1.jpg\r\n"
                                             L"收藏C:\\no-tab.jpg\n"
                                             L"喜欢\tC:\\unknown-word.jpg\n"
                                             L" 收藏\tC:\\space-before.jpg\n"
                                             L"收藏\t\n"
                                             L"收藏\tpictures\\relative.jpg\n"
                                             L"收藏\t\\rooted.jpg\n"
                                             L"收藏\tC:drive-relative.jpg\n"
                                             L"\n"
                                             L"不再显示\t\\\\server\\share\\good2.jpg");
    EXPECT_EQ(marks.Text(), L"收藏\tC:\\good1.jpg\n不再显示\t\\\\server\\share\\good2.jpg\n");
    marks.Set(L"pictures\\relative.jpg", Mark::Favourite);
    marks.Set(L"C:\\tab\there.jpg", Mark::Favourite);
    EXPECT_EQ(marks.Size(), 2u);
}

TEST(PictureMarks, TheOldestGoBeyondTheLimit) {
    PictureMarks marks(3);
    for (const wchar_t* p : {L"C:\\a", L"C:\\b", L"C:\\c", L"C:\\A", L"C:\\d"})
        marks.Set(p, Mark::Favourite);
    EXPECT_EQ(marks.Text(), L"收藏\tC:\\c\n收藏\tC:\\A\n收藏\tC:\\d\n"); // b oldest once a was set again
    EXPECT_EQ(PictureMarks::Parse(marks.Text(), 2).Text(), L"收藏\tC:\\A\n收藏\tC:\\d\n");
}
