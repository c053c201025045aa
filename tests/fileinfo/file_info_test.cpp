// The file information record against real files: stored names from upper-cased paths, drive roots,
// stale fields after a missing entry, the time-stamp and attribute writers, long paths.
#include "fileinfo/file_info.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <objbase.h>

using fileinfo::CFileInfo;
using fileinfo::DateTime;

namespace {

std::wstring Upper(std::wstring s) {
    CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

std::wstring StoredForm(const std::wstring& path) {
    std::wstring out(32768, L'\0');
    DWORD n = GetLongPathNameW(path.c_str(), out.data(), static_cast<DWORD>(out.size()));
    out.resize(n);
    return out;
}

class FileInfoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        folder = StoredForm(temp.path()) + L"\\Mixed Case 文件夹";
        CreateDirectoryW(folder.c_str(), nullptr);
        file = folder + L"\\Notes Of Today.txt";
        test::TempFolder::Write(file, std::string(1536, 'x'));
    }
    test::TempFolder temp;
    std::wstring folder, file;
};

} // namespace

TEST_F(FileInfoTest, UpperCasedPathGivesTheStoredFormAndEveryField) {
    CFileInfo info;
    info.SetFullPathName(Upper(file));
    ASSERT_TRUE(info.FileExists());
    EXPECT_TRUE(info.PathExists());
    EXPECT_EQ(info.FullPathName(), file);
    EXPECT_EQ(info.FilePath(), folder + L"\\");
    EXPECT_EQ(info.FileName(), L"Notes Of Today.txt");
    EXPECT_EQ(info.FileExtension(), L"txt");
    EXPECT_EQ(info.FileSize(), 1536);
    EXPECT_EQ(info.FileSizeHigh(), 0);
    EXPECT_EQ(info.Size(), 1536);
    EXPECT_FALSE(info.Attributes() & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(info.TypeName().empty());
    EXPECT_NE(info.TypeName(), L"文件夹");
    EXPECT_FALSE(info.DisplayName().empty());
    EXPECT_NE(info.hIcon(), nullptr);
    // The 8.3 path ends in the 8.3 name; what comes before is the 8.3 folder.
    EXPECT_FALSE(info.ShortName().empty());
    EXPECT_EQ(info.ShortPath() + info.ShortName(), info.ShortPathName());
    EXPECT_EQ(info.ShortPath().back(), L'\\');
    EXPECT_EQ(CFileInfo::FormatFileSize(info.FileSize()), L"1.50");

    // A folder: the type text that the browser recognises folders by.
    info.SetFullPathName(Upper(folder));
    ASSERT_TRUE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), folder);
    EXPECT_TRUE(info.Attributes() & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(info.TypeName(), L"文件夹");

    // Relative paths resolve against the current folder.
    wchar_t was[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, was);
    SetCurrentDirectoryW(folder.c_str());
    info.SetFullPathName(L"notes of today.TXT");
    SetCurrentDirectoryW(was);
    EXPECT_TRUE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), file);
}

TEST_F(FileInfoTest, DriveRootFileAndTheRootItself) {
    std::wstring rootFile = L"C:\\Tavolin Root " + std::to_wstring(GetCurrentProcessId()) + L".dat";
    test::TempFolder::Write(rootFile, "1234");
    CFileInfo info;
    info.SetFullPathName(L"c:\\" + Upper(rootFile.substr(3)));
    EXPECT_TRUE(info.FileExists());
    EXPECT_EQ(info.FilePath(), L"C:\\");
    EXPECT_EQ(info.FullPathName(), rootFile);
    EXPECT_EQ(info.FileExtension(), L"dat");
    DeleteFileW(rootFile.c_str());
    // A path ending in "\" names no entry, a drive root included.
    info.SetFullPathName(L"C:\\");
    EXPECT_FALSE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), L"C:\\");
    info.SetFullPathName(folder + L"\\");
    EXPECT_FALSE(info.FileExists());
}

TEST_F(FileInfoTest, AMissingEntryAfterAFoundOneLeavesTheOldFieldsStale) {
    CFileInfo info;
    info.SetFullPathName(file);
    ASSERT_TRUE(info.FileExists());
    HICON icon = info.hIcon();
    std::wstring missing = folder + L"\\not here.txt";
    info.SetFullPathName(missing);
    EXPECT_FALSE(info.FileExists());
    EXPECT_TRUE(info.PathExists());
    EXPECT_EQ(info.FullPathName(), missing);
    EXPECT_EQ(info.FileName(), L"Notes Of Today.txt");
    EXPECT_EQ(info.FileSize(), 1536);
    EXPECT_EQ(info.hIcon(), icon);
    // Writers do nothing for a missing entry.
    EXPECT_FALSE(info.SetModifyTime({2004, 6, 21, 21, 5, 3}));
    info.SetAttrReadOnly(true);
    EXPECT_FALSE(info.attrReadOnly());
    // A wildcard is no file name.
    info.SetFullPathName(folder + L"\\*.txt");
    EXPECT_FALSE(info.FileExists());
}

TEST_F(FileInfoTest, TimeStampsAndAttributesAreWrittenAndReadBack) {
    CFileInfo info;
    info.SetFullPathName(file);
    ASSERT_TRUE(info.FileExists());
    const DateTime when{2004, 6, 21, 21, 5, 3};
    ASSERT_TRUE(info.SetModifyTime(when));
    EXPECT_EQ(info.ModifyTime(), when);
    EXPECT_EQ(CFileInfo::FormatFileDate(info.ModifyTime()), L"2004-06-21 21:05:03");
    // Only the one stamp is written (Wine keeps no creation time of its own, so the access time).
    ASSERT_TRUE(info.SetLastAccessTime({2001, 1, 1, 0, 0, 0}));
    EXPECT_EQ(info.LastAccessTime(), (DateTime{2001, 1, 1, 0, 0, 0}));
    EXPECT_EQ(info.ModifyTime(), when);
    EXPECT_FALSE(info.SetModifyTime({2004, 13, 40, 0, 0, 0}));

    info.SetAttrReadOnly(true);
    EXPECT_TRUE(info.attrReadOnly());
    EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY);
    // Setting the value it already has makes no call: a change made behind its back stays.
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    info.SetAttrReadOnly(true);
    EXPECT_FALSE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY);
    info.Refresh();
    EXPECT_FALSE(info.attrReadOnly());
    // Temporary and compressed are not written.
    DWORD before = info.Attributes();
    info.SetAttrTemporary(true);
    info.SetAttrCompressed(true);
    EXPECT_EQ(info.Attributes(), before);
}

TEST_F(FileInfoTest, PathsLongerThan260Characters) {
    std::wstring deep = folder;
    while (deep.size() < 300) {
        deep += L"\\" + std::wstring(40, L'深');
        ASSERT_TRUE(CreateDirectoryW(fileinfo::ExtendedLengthPath(deep).c_str(), nullptr)) << deep.size();
    }
    std::wstring name = deep + L"\\Long Way Down.txt";
    test::TempFolder::Write(fileinfo::ExtendedLengthPath(name), "abc");
    CFileInfo info;
    info.SetFullPathName(Upper(name));
    ASSERT_TRUE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), name);
    EXPECT_EQ(info.FileSize(), 3);
    EXPECT_EQ(info.FileName(), L"Long Way Down.txt");
    EXPECT_TRUE(info.SetModifyTime({2010, 5, 4, 3, 2, 1}));
    EXPECT_EQ(info.ModifyTime(), (DateTime{2010, 5, 4, 3, 2, 1}));
    DeleteFileW(fileinfo::ExtendedLengthPath(name).c_str());
    for (; deep.size() > folder.size(); deep.resize(deep.rfind(L'\\')))
        RemoveDirectoryW(fileinfo::ExtendedLengthPath(deep).c_str());
}
