// Where the wallpaper bitmap and the collected pictures go, against real folders: the Windows folder
// and the program folder where new files can be made there, the user's own folder otherwise. Run by
// scripts/standard-user too, where C:\windows and the program's folder under "Program Files" belong
// to root.
#include "core/places.h"
#include "tests/support/temp_folder.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/laying/wallpaper_setter.h"

#include <gtest/gtest.h>

namespace {

bool StandardUser() {
    return GetEnvironmentVariableW(L"TAVOLIN_STANDARD_USER", nullptr, 0) > 0;
}

std::wstring WindowsFolder() {
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    return windows;
}

} // namespace

TEST(Places, TheWindowsAndProgramFoldersAreUsedOnlyWhereNewFilesCanBeMade) {
    test::TempFolder temp(L"places");
    const std::wstring user = temp.path() + L"\\用户\\Tavolin", open = temp.path() + L"\\可写",
                       missing = temp.path() + L"\\没有";
    CreateDirectoryW(open.c_str(), nullptr);
    struct Row {
        std::wstring folder;
        bool writable;
    };
    std::vector<Row> rows = {{open, true}, {missing, false}};
    if (StandardUser()) {
        rows.push_back({WindowsFolder(), false});
        rows.push_back({L"C:\\Program Files\\Tavolin", false});
    }
    for (const Row& r : rows) {
        EXPECT_EQ(core::CanCreateFileIn(r.folder), r.writable) << r.folder;
        EXPECT_EQ(core::WallpaperBitmapPlace(r.folder, user), (r.writable ? r.folder : user) + L"\\Vesmar.bmp");
        EXPECT_EQ(core::PictureFolderPlace(r.folder, user), (r.writable ? r.folder : user) + L"\\Tavolin壁纸");
    }
    EXPECT_EQ(test::FilesIn(open), std::vector<std::wstring>{}) << "the probe leaves nothing behind";
}

TEST(Places, TheUsersOwnFolderIsMadeWithTheFirstWallpaperAndAFailureNamesTheFileAndTheReason) {
    test::UseCom();
    test::TempFolder temp(L"places");
    const std::wstring picture = temp.path() + L"\\a.bmp";
    ASSERT_TRUE(test::WritePicture(picture, GUID_ContainerFormatBmp, 64, 48));
    const auto loaded = wallpaper::Picture::Load(picture);
    ASSERT_TRUE(loaded);
    const std::wstring bitmap = temp.path() + L"\\Local\\Tavolin\\Vesmar.bmp";
    EXPECT_EQ(wallpaper::SetWallpaper(*loaded, bitmap), L"");
    EXPECT_EQ(test::ReadBitmapHeader(bitmap).width, 64);

    // Neither place takes the file: one message with the file and the system's reason.
    std::vector<std::wstring> blocked = {temp.path() + L"\\a.bmp\\Tavolin\\Vesmar.bmp"};
    if (StandardUser()) blocked.push_back(L"C:\\tavolin-fixtures\\shut\\Tavolin\\Vesmar.bmp");
    for (const std::wstring& path : blocked) {
        std::wstring error = wallpaper::SetWallpaper(*loaded, path);
        EXPECT_TRUE(error.starts_with(L"无法保存墙纸图片：" + path + L"\n")) << error;
        EXPECT_NE(error.find(L"错误代码"), std::wstring::npos) << error;
    }
}
