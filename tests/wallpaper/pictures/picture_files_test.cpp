// Collecting previewed pictures into the program's picture folder, and deleting pictures.
#include "wallpaper/pictures/picture_files.h"

#include "tests/support/temp_folder.h"
#include "tests/wallpaper/test_pictures.h"

#include <gtest/gtest.h>

using test::FilesIn;
using wallpaper::CollectPicture;

namespace {

class CollectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        program = temp.path() + L"\\程序";
        pictures = program + L"\\Tavolin壁纸";
        CreateDirectoryW(program.c_str(), nullptr);
    }
    // A file of `size` bytes in folder `sub` of the temporary folder.
    std::wstring Put(const std::wstring& sub, const std::wstring& name, size_t size, char fill = 'x') {
        std::wstring folder = temp.path() + L"\\" + sub;
        CreateDirectoryW(folder.c_str(), nullptr);
        test::TempFolder::Write(folder + L"\\" + name, std::string(size, fill));
        return folder;
    }
    test::TempFolder temp;
    std::wstring program, pictures;
};

TEST_F(CollectTest, APictureFromElsewhereIsCopiedOnceIntoANewPictureFolder) {
    std::wstring a = Put(L"甲", L"sea.jpg", 100, 'a');
    auto first = CollectPicture(pictures, a, L"sea.jpg");
    EXPECT_EQ(first.error, L"");
    EXPECT_EQ(first.copy, pictures + L"\\sea.jpg");
    EXPECT_EQ(test::ReadBytes(pictures + L"\\sea.jpg"), std::string(100, 'a'));
    // Clicking it again copies nothing.
    auto again = CollectPicture(pictures, a, L"sea.jpg");
    EXPECT_EQ(again.copy, L"");
    EXPECT_EQ(again.error, L"");
    EXPECT_EQ(FilesIn(pictures), std::vector<std::wstring>{L"sea.jpg"});
}

TEST_F(CollectTest, ASameNamedPictureOfAnotherSizeGetsANumberInFront) {
    std::wstring a = Put(L"甲", L"sea.jpg", 100);
    std::wstring b = Put(L"乙", L"sea.jpg", 200, 'b');
    std::wstring c = Put(L"丙", L"sea.jpg", 300, 'c');
    CollectPicture(pictures, a, L"sea.jpg");
    EXPECT_EQ(CollectPicture(pictures, b, L"sea.jpg").copy, pictures + L"\\1sea.jpg");
    EXPECT_EQ(CollectPicture(pictures, c, L"sea.jpg").copy, pictures + L"\\2sea.jpg");
    // The same picture as one of the numbered copies counts as collected.
    EXPECT_EQ(CollectPicture(pictures, b, L"sea.jpg").copy, L"");
    EXPECT_EQ(test::ReadBytes(pictures + L"\\2sea.jpg"), std::string(300, 'c'));
    EXPECT_EQ(FilesIn(pictures), (std::vector<std::wstring>{L"1sea.jpg", L"2sea.jpg", L"sea.jpg"}));
}

TEST_F(CollectTest, PicturesInsideThePictureFolderAreNeverCopied) {
    Put(L"程序\\Tavolin壁纸", L"sea.jpg", 100);
    EXPECT_EQ(CollectPicture(pictures, pictures, L"sea.jpg").copy, L"");
    EXPECT_EQ(FilesIn(pictures), std::vector<std::wstring>{L"sea.jpg"});
}

TEST_F(CollectTest, AFileThatCannotBeReadIsNeverOverwritten) {
    std::wstring a = Put(L"甲", L"sea.jpg", 100, 'a');
    Put(L"程序\\Tavolin壁纸", L"sea.jpg", 50, 'z');
    // Held by a program that lets others write but not read: it fails the existence test, yet a
    // copy that may overwrite could still replace it.
    platform::UniqueHandle held(CreateFileW((pictures + L"\\sea.jpg").c_str(), GENERIC_WRITE,
                                            FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    auto r = CollectPicture(pictures, a, L"sea.jpg");
    EXPECT_EQ(r.copy, L"");
    EXPECT_NE(r.error.find(L"无法把图片复制到图片文件夹"), std::wstring::npos) << r.error;
    held.reset();
    EXPECT_EQ(test::ReadBytes(pictures + L"\\sea.jpg"), std::string(50, 'z'));
}

TEST_F(CollectTest, AFolderThatCannotBeCreatedOrAMissingSourceIsReported) {
    std::wstring a = Put(L"甲", L"sea.jpg", 100);
    // A file stands where the picture folder would go.
    test::TempFolder::Write(pictures, "in the way");
    auto r = CollectPicture(pictures, a, L"sea.jpg");
    EXPECT_NE(r.error.find(L"无法创建图片文件夹：" + pictures), std::wstring::npos) << r.error;
    DeleteFileW(pictures.c_str());
    r = CollectPicture(pictures, a, L"gone.jpg");
    EXPECT_NE(r.error.find(L"gone.jpg"), std::wstring::npos);
    EXPECT_EQ(FilesIn(pictures), std::vector<std::wstring>{});
}

TEST_F(CollectTest, DeletingRemovesTheFileOrSaysWhyNot) {
    std::wstring a = Put(L"甲", L"sea.jpg", 100);
    std::wstring file = a + L"\\sea.jpg";
    {
        platform::UniqueHandle held(
            CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_NE(wallpaper::DeletePicture(file).find(L"无法删除文件：" + file), std::wstring::npos);
    }
    EXPECT_TRUE(test::Exists(file));
    EXPECT_EQ(wallpaper::DeletePicture(file), L"");
    EXPECT_FALSE(test::Exists(file));
}

} // namespace
