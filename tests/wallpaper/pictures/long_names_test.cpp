// Pictures whose names lie outside the Basic Multilingual Plane, in folders whose paths are longer
// than MAX_PATH: listed, decoded, collected, deleted and written as the wallpaper bitmap by name.
#include "settings/registry.h"
#include "tests/support/temp_folder.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/pictures/picture_files.h"
#include "wallpaper/pictures/picture_list.h"
#include "wallpaper/laying/wallpaper_setter.h"

#include <gtest/gtest.h>

namespace {

const std::wstring Emoji = L"\U0001F600 海.jpg"; // a surrogate pair, a blank and a Chinese character

// A folder below `base` whose path is at least `length` characters long.
std::wstring DeepFolder(const std::wstring& base, size_t length) {
    std::wstring folder = base;
    for (int i = 0; folder.size() < length; ++i) {
        folder += L"\\" + std::to_wstring(i) + L" 很长的文件夹名称" +
                  std::wstring(30, L'a' + static_cast<wchar_t>(i));
        EXPECT_TRUE(CreateDirectoryW(platform::LongPath(folder).c_str(), nullptr)) << folder.size();
    }
    return folder;
}

} // namespace

TEST(LongPath, OnlyLongAbsolutePathsGetThePrefixMadeFull) {
    EXPECT_EQ(platform::LongPath(L"C:\\Windows\\Vesmar.bmp"), L"C:\\Windows\\Vesmar.bmp");
    EXPECT_EQ(platform::LongPath(L""), L"");
    std::wstring tail(300, L'x');
    EXPECT_EQ(platform::LongPath(L"C:\\a\\..\\b/" + tail), L"\\\\?\\C:\\b\\" + tail);
    EXPECT_EQ(platform::LongPath(L"\\\\server\\share\\" + tail), L"\\\\?\\UNC\\server\\share\\" + tail);
    EXPECT_EQ(platform::LongPath(L"\\\\?\\C:\\" + tail), L"\\\\?\\C:\\" + tail);
    // A relative path is taken from the working folder.
    std::wstring working(MAX_PATH, L'\0');
    working.resize(GetCurrentDirectoryW(MAX_PATH, working.data()));
    EXPECT_EQ(platform::LongPath(tail), L"\\\\?\\" + wallpaper::JoinPath(working, tail));
}

TEST(LongNames, APictureDeepDownWithAnEmojiNameGoesTheWholeWay) {
    test::UseCom();
    test::TempFolder temp(L"long-names");
    std::wstring folder = DeepFolder(temp.path(), 300);
    CreateDirectoryW((temp.path() + L"\\程序").c_str(), nullptr);
    std::wstring program = DeepFolder(temp.path() + L"\\程序", 280);
    std::wstring picture = folder + L"\\" + Emoji;
    ASSERT_GT(picture.size(), static_cast<size_t>(MAX_PATH));
    // Written where it is short, then moved into place.
    std::wstring shortPath = temp.path() + L"\\p.jpg";
    ASSERT_TRUE(test::WritePicture(shortPath, GUID_ContainerFormatJpeg, 64, 48));
    const std::string bytes = test::ReadBytes(shortPath);
    ASSERT_TRUE(MoveFileW(shortPath.c_str(), platform::LongPath(picture).c_str()));
    test::TempFolder::Write(platform::LongPath(folder + L"\\\U0001F30A.gif"), "");

    EXPECT_TRUE(wallpaper::FolderExists(folder));
    EXPECT_EQ(wallpaper::ListPictures(folder), (std::vector<std::wstring>{L"\U0001F30A.gif", Emoji}));
    EXPECT_TRUE(settings::FileCanBeOpened(picture));
    auto decoded = wallpaper::Picture::Load(picture);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Width(), 64u);

    // Collected under its exact name, once; another picture of that name gets a number in front.
    std::wstring pictures = program + L"\\Tavolin壁纸";
    EXPECT_EQ(wallpaper::CollectPicture(pictures, folder, Emoji).copy, pictures + L"\\" + Emoji);
    EXPECT_EQ(wallpaper::CollectPicture(pictures, folder, Emoji).copy, L"");
    EXPECT_EQ(test::ReadBytes(platform::LongPath(pictures + L"\\" + Emoji)), bytes);
    EXPECT_EQ(wallpaper::ListPictures(pictures), std::vector<std::wstring>{Emoji});

    // The wallpaper bitmap deep down too, with a leftover of an interrupted write beside it.
    std::wstring bitmap = folder + L"\\Vesmar.bmp";
    test::TempFolder::Write(platform::LongPath(bitmap + L".77-1.tmp"), "half");
    EXPECT_EQ(wallpaper::SaveAsBitmap(*decoded, bitmap), L"");
    EXPECT_EQ(test::ReadBitmapHeader(platform::LongPath(bitmap)).width, 64);
    EXPECT_FALSE(test::Exists(platform::LongPath(bitmap + L".77-1.tmp")));

    EXPECT_EQ(wallpaper::DeletePicture(picture), L"");
    EXPECT_FALSE(settings::FileCanBeOpened(picture));
    EXPECT_EQ(wallpaper::ListPictures(folder), (std::vector<std::wstring>{L"Vesmar.bmp", L"\U0001F30A.gif"}));
}
