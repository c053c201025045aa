#include "core/identity.h"

#include <gtest/gtest.h>

using namespace core;

TEST(Identity, CaptionAndVersionLabel) {
    // The resource's version, as res/version.h gives it.
    EXPECT_EQ(MainCaption(), L"Tavolin(Quorvel)－V" TAVOLIN_STRINGIZE(
                                 TAVOLIN_VERSION_MAJOR) "." TAVOLIN_STRINGIZE(TAVOLIN_VERSION_MINOR));
    EXPECT_EQ(VersionLabel(), L"版本 " TAVOLIN_VERSION_TEXT);
}

TEST(CommandLine, ProgramNameIsDroppedAndQuotesRemoved) {
    EXPECT_EQ(CommandLinePicture(L"\"C:\\Program Files\\Tavolin\\Quorvel.exe\""), L"");
    EXPECT_EQ(CommandLinePicture(L"\"C:\\Program Files\\Quorvel.exe\" \"D:\\图片\\sea shore.jpg\""),
              L"D:\\图片\\sea shore.jpg");
    EXPECT_EQ(CommandLinePicture(L"Quorvel.exe D:\\a.jpg"), L"D:\\a.jpg");
    EXPECT_EQ(CommandLinePicture(L"Quorvel.exe   "), L"");
    // Quotes anywhere in the argument are removed, not only at its ends.
    EXPECT_EQ(CommandLinePicture(L"Quorvel.exe \"D:\\x\"\"y.jpg\""), L"D:\\xy.jpg");
    EXPECT_EQ(CommandLinePicture(L""), L"");
}

TEST(PathParts, FolderKeepsItsLastBackslash) {
    EXPECT_EQ(FolderPart(L"D:\\pics\\sea.jpg"), L"D:\\pics\\");
    EXPECT_EQ(FolderPart(L"C:\\a.jpg"), L"C:\\");
    EXPECT_EQ(FolderPart(L"sea.jpg"), L"");
    EXPECT_EQ(NamePart(L"D:\\pics\\sea.jpg"), L"sea.jpg");
    EXPECT_EQ(NamePart(L"sea.jpg"), L"sea.jpg");
}
