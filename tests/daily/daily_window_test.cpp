// The daily pictures in a running main window: they join the picture list, the newest becomes the
// wallpaper for the history, a failure only changes the tray's tip, and "退出" is never held.
#include "app/tray.h"
#include "daily/daily_names.h"
#include "res/resource.h"
#include "tests/daily/test_server.h"
#include "tests/support/main_window.h"
#include "tests/support/user_input.h"
#include "tests/wallpaper/test_pictures.h"

#include <gtest/gtest.h>

namespace {

class DailyWindowTest : public test::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (HasFatalFailure()) return;
        if (test::DailyAddress(L"").empty()) GTEST_SKIP() << "the daily_server fixture does not run";
        // The wallpaper before: a picture of the collection, 20 wide.
        ASSERT_TRUE(test::WritePicture(PictureFolder() + L"\\a.bmp", GUID_ContainerFormatBmp, 20, 10));
        form->Pictures().SetPath(PictureFolder());
        form->Pictures().SetListIndexForWallpaper(0);
        form->Pictures().设置墙纸(false, true);
        Settle();
        form->Settings().Daily = true;
    }
    void Look(const std::wstring& answer) {
        form->Settings().DailyAddress = test::DailyAddress(answer);
        SendMessageW(form->hwnd(), WM_COMMAND, ID_FlieL每日图片, 0);
        EXPECT_TRUE(form->Daily().Checking());
        Settle();
    }
    void Settle() {
        EXPECT_TRUE(test::Pump(form->hwnd(), 20000, [&] {
            return !form->Daily().Checking() && !form->Pictures().PictureWorkPending() &&
                   !form->Pictures().Listing();
        }));
    }
    int WallpaperWidth() const { return test::ReadBitmapHeader(form->Places().WallpaperBitmapPath).width; }
    std::wstring Folder() const { return form->Daily().Folder(); }
};

TEST_F(DailyWindowTest, NewPicturesJoinTheListAndTheNewestIsSetOnce) {
    ASSERT_EQ(WallpaperWidth(), 20);
    Look(L"days");
    EXPECT_EQ(form->Pictures().Names(), (std::vector<std::wstring>{L"a.bmp", L"每日图片\\2026-12-08 长城.jpg",
                                                                   L"每日图片\\2026-12-09 海边.jpg",
                                                                   L"每日图片\\2026-12-10 雪山.jpg"}));
    EXPECT_EQ(WallpaperWidth(), 60);
    EXPECT_EQ(form->Pictures().List(form->Pictures().ListIndex()), L"每日图片\\2026-12-10 雪山.jpg");
    EXPECT_EQ(form->Pictures().PreviewTip(), L"雪山\n雪山 (© 摄影者)") << "the preview's tip";
    EXPECT_EQ(app::TrayTip(), core::ApplicationTitle);

    // "上一张墙纸" goes back to the wallpaper before.
    EXPECT_TRUE(form->Pictures().GoBack());
    Settle();
    EXPECT_EQ(WallpaperWidth(), 20);

    // Nothing new: the wallpaper stays.
    Look(L"days");
    EXPECT_EQ(WallpaperWidth(), 20);
    EXPECT_EQ(otherDialogs, 0);
}

TEST_F(DailyWindowTest, AFailedLookChangesOnlyTheTip) {
    for (const wchar_t* answer : {L"bad", L"gone", L"cut"}) {
        Look(answer);
        EXPECT_EQ(WallpaperWidth(), 20) << answer;
        EXPECT_FALSE(test::Exists(Folder() + L"\\" + daily::ManifestName)) << answer;
        EXPECT_NE(app::TrayTip().find(L"每日图片：上次下载失败（"), std::wstring::npos) << answer;
    }
    EXPECT_EQ(otherDialogs, 0) << "no message box";
    EXPECT_EQ(form->Pictures().Names(), std::vector<std::wstring>{L"a.bmp"});
    Look(L"noUhd");
    EXPECT_EQ(WallpaperWidth(), 35);
    EXPECT_EQ(app::TrayTip(), core::ApplicationTitle) << "a look that works clears the tip";
}

TEST_F(DailyWindowTest, TurnedOffItAsksNothing) {
    form->Settings().Daily = false;
    form->Settings().DailyAddress = test::DailyAddress(L"days");
    SendMessageW(form->hwnd(), WM_COMMAND, ID_FlieL每日图片, 0);
    EXPECT_FALSE(form->Daily().Checking());
    EXPECT_FALSE(test::Exists(Folder()));
}

TEST_F(DailyWindowTest, ExitEndsAHangingDownloadAndLeavesNothing) {
    form->Settings().DailyAddress = test::DailyAddress(L"hang");
    form->Daily().CheckNow();
    // The download is under way once its temporary file holds the first bytes.
    EXPECT_TRUE(test::Pump(form->hwnd(), 20000, [&] {
        for (const std::wstring& name : test::FilesIn(Folder()))
            if (test::ReadBytes(Folder() + L"\\" + name).size() >= 100) return true;
        return false;
    }));
    const std::wstring folder = Folder();
    const ULONGLONG before = GetTickCount64();
    SendMessageW(form->hwnd(), WM_COMMAND, ID_menu退出, 0);
    HWND window = form->hwnd();
    EXPECT_TRUE(test::Pump(window, 20000, [&] { return !IsWindow(window); }));
    form.reset();
    const ULONGLONG took = GetTickCount64() - before;
    printf("the program ended %llu ms after 退出\n", took);
    EXPECT_LT(took, 10000u) << "the download's own limit is a minute";
    EXPECT_TRUE(test::FilesIn(folder).empty());
}

} // namespace
