#include "fileinfo/file_text.h"

#include <gtest/gtest.h>
#include <map>

using namespace fileinfo;

TEST(FileSizeText, KilobytesOf1024WithGroupsAndTwoDecimals) {
    EXPECT_EQ(FormatFileSize(0), L"0.00");
    EXPECT_EQ(FormatFileSize(1), L"0.00");
    EXPECT_EQ(FormatFileSize(512), L"0.50");
    EXPECT_EQ(FormatFileSize(1536), L"1.50");
    EXPECT_EQ(FormatFileSize(1048576), L"1,024.00");
    EXPECT_EQ(FormatFileSize(1023 * 1024 + 1019), L"1,024.00"); // 1,023.995… rounds up
    EXPECT_EQ(FormatFileSize(5), L"0.00");
    EXPECT_EQ(FormatFileSize(6), L"0.01"); // 0.00586 rounds up
    // Sizes beyond 32 bits keep their value.
    EXPECT_EQ(FormatFileSize(5LL << 30), L"5,242,880.00");
    EXPECT_EQ(FormatFileSize(INT64_MAX), L"9,007,199,254,740,992.00");
    EXPECT_EQ(FormatFileSize(-1536), L"-1.50");
}

TEST(FolderSizeText, ThousandsOfBytes) {
    EXPECT_EQ(FormatFolderSize(0), L"0.00");
    EXPECT_EQ(FormatFolderSize(1000), L"1.00");
    EXPECT_EQ(FormatFolderSize(1500), L"1.50");
    EXPECT_EQ(FormatFolderSize(1048576), L"1,048.58");
    EXPECT_EQ(FormatFolderSize(999995), L"1,000.00");
    EXPECT_EQ(FormatFolderSize(UINT64_MAX), L"18,446,744,073,709,551.62");
}

TEST(SizeTextValue, ReadsBothFormsBackAndRefusesOtherText) {
    for (int64_t bytes : {0LL, 1LL, 512LL, 1536LL, 1048576LL, 5LL << 30, 123456789012LL})
        EXPECT_EQ(ParseSizeText(FormatFileSize(bytes)),
                  (bytes / 1024 * 100 + (bytes % 1024 * 100 + 512) / 1024))
            << bytes;
    EXPECT_EQ(ParseSizeText(L"1,048.58"), 104858);
    EXPECT_EQ(ParseSizeText(L"9.5"), 950);
    EXPECT_EQ(ParseSizeText(L"10"), 1000);
    EXPECT_EQ(ParseSizeText(L"-1.50"), -150);
    EXPECT_EQ(ParseSizeText(L""), std::nullopt);
    EXPECT_EQ(ParseSizeText(L".50"), std::nullopt);
    EXPECT_EQ(ParseSizeText(L"1.2.3"), std::nullopt);
    EXPECT_EQ(ParseSizeText(L"12 KB"), std::nullopt);
    EXPECT_EQ(ParseSizeText(L"99999999999999999999999"), std::nullopt);
}

TEST(FileDateText, FixedWidthDateAndTime) {
    EXPECT_EQ(FormatFileDate({2004, 6, 21, 21, 5, 3}), L"2004-06-21 21:05:03");
    EXPECT_EQ(FormatFileDate({2004, 1, 1, 0, 0, 0}), L"2004-01-01 00:00:00");
    EXPECT_EQ(FormatFileDate({1601, 1, 1, 0, 0, 0}), L"1601-01-01 00:00:00");
    EXPECT_EQ(FormatFileDate({2023, 12, 31, 23, 59, 59}), L"2023-12-31 23:59:59");
    // Text order is time order.
    EXPECT_LT(FormatFileDate({2004, 9, 1, 0, 0, 0}), FormatFileDate({2004, 10, 1, 0, 0, 0}));
    EXPECT_LT(FormatFileDate({2004, 10, 1, 9, 0, 0}), FormatFileDate({2004, 10, 1, 10, 0, 0}));
}

TEST(NamesOfEntries, ExtensionFallbackTypeAndLastComponent) {
    EXPECT_EQ(FileExtension(L"notes.txt"), L"txt");
    EXPECT_EQ(FileExtension(L"archive.tar.gz"), L"gz");
    EXPECT_EQ(FileExtension(L"README"), L"");
    EXPECT_EQ(FileExtension(L"name."), L"");
    EXPECT_EQ(FileExtension(L".profile"), L"profile");

    EXPECT_EQ(FallbackTypeName(L"txt"), L"TXT File");
    EXPECT_EQ(FallbackTypeName(L""), L"File");
    EXPECT_EQ(FallbackTypeName(L"Gz"), L"GZ File");

    EXPECT_EQ(Dir文件夹路径2文件夹名称(L"C:\\Data\\Sub"), L"Sub");
    EXPECT_EQ(Dir文件夹路径2文件夹名称(L"C:\\Data\\"), L"");
    EXPECT_EQ(Dir文件夹路径2文件夹名称(L"Sub"), L"Sub");
    EXPECT_EQ(Dir文件夹路径2文件夹名称(L"C:/Data/Sub"), L"C:/Data/Sub");
    EXPECT_EQ(Dir文件夹路径2文件夹名称(L"\\\\server\\共享\\照片"), L"照片");

    EXPECT_EQ(TrimNull(std::wstring(L"\0abc", 4)), L"");
    EXPECT_EQ(TrimNull(std::wstring(L"ab\0c ", 5)), L"ab");
    EXPECT_EQ(TrimNull(L"  ab c  "), L"ab c");
}

TEST(FolderType, OrdinaryFoldersAreAlwaysCalled文件夹) {
    for (const wchar_t* plain : {L"Folder", L"File folder", L"文件夹"}) {
        EXPECT_EQ(FolderTypeName(plain, plain), L"文件夹");
        EXPECT_EQ(FolderTypeName(L"", plain), L"文件夹");
        EXPECT_EQ(FolderTypeName(L"  ", plain), L"文件夹");
    }
    EXPECT_EQ(FolderTypeName(L"系统文件夹", L"Folder"), L"系统文件夹");
}

TEST(LongFolderPathText, EveryComponentInItsStoredForm) {
    // A made-up disk, stored names by upper-cased path.
    std::map<std::wstring, std::wstring> folders{{L"C:\\PROGRAM FILES", L"Program Files"},
                                                 {L"C:\\PROGRAM FILES\\MY APP", L"My App"},
                                                 {L"C:\\DATA", L"Data"}};
    std::vector<std::wstring> asked;
    FindFolderName find = [&](const std::wstring& path) -> std::optional<std::wstring> {
        asked.push_back(path);
        std::wstring upper = path;
        for (wchar_t& c : upper)
            c = static_cast<wchar_t>(towupper(c));
        auto it = folders.find(upper);
        if (it == folders.end()) return std::nullopt;
        return it->second + std::wstring(L"\0garbage", 8);
    };
    EXPECT_EQ(LongFolderPath(L"c:\\program files\\MY APP\\", find), L"C:\\Program Files\\My App");
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"c:\\program files", L"c:\\program files\\MY APP"}));
    EXPECT_EQ(LongFolderPath(L"c:\\", find), L"C:\\");
    EXPECT_EQ(LongFolderPath(L"c:", find), L"C:");
    EXPECT_EQ(LongFolderPath(L"c:\\data", find), L"C:\\Data");
    // A missing component or a file makes the whole path empty.
    EXPECT_EQ(LongFolderPath(L"C:\\data\\nothing", find), L"");
    // A share root comes back as given; below it, the components are looked up.
    asked.clear();
    EXPECT_EQ(LongFolderPath(L"\\\\Server\\Share\\", find), L"\\\\Server\\Share");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(LongFolderPath(L"\\\\Server\\Share\\sub", find), L"");
    EXPECT_EQ(asked, std::vector<std::wstring>{L"\\\\Server\\Share\\sub"});
}

TEST(LongPaths, ExtendedFormOnlyWhereThePlainFormFails) {
    std::wstring deep = L"C:\\" + std::wstring(300, L'a');
    EXPECT_EQ(ExtendedLengthPath(deep), L"\\\\?\\" + deep);
    EXPECT_EQ(ExtendedLengthPath(L"\\\\?\\" + deep), L"\\\\?\\" + deep);
    std::wstring share = L"\\\\server\\share\\" + std::wstring(300, L'b');
    EXPECT_EQ(ExtendedLengthPath(share), L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'b'));
    EXPECT_EQ(ExtendedLengthPath(L"C:\\short"), L"C:\\short");
    std::wstring relative = std::wstring(300, L'r');
    EXPECT_EQ(ExtendedLengthPath(relative), relative);
}
