// One look for the daily pictures against the tests' own service: what it downloads, names, keeps
// and leaves behind.
#include "daily/daily_check.h"
#include "daily/daily_names.h"
#include "tests/daily/test_server.h"
#include "tests/support/temp_folder.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/pictures/picture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using daily::CheckOutcome;

class DailyCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::UseCom();
        if (test::DailyAddress(L"").empty()) GTEST_SKIP() << "the daily_server fixture does not run";
    }
    CheckOutcome Check(const std::wstring& answer, int keep = 30) {
        return daily::RunCheck({folder, test::DailyAddress(answer), keep, {}}, http, [] { return false; });
    }
    int Width(const std::wstring& name) {
        return wallpaper::UprightSize(folder + L"\\" + name).value_or(wallpaper::PixelSize{}).width;
    }
    FILETIME Written(const std::wstring& name) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW((folder + L"\\" + name).c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    }

    test::TempFolder temp;
    const std::wstring folder = temp.path() + L"\\每日图片";
    daily::HttpGetter http;
};

TEST_F(DailyCheckTest, DownloadsTheLargestSizeOfEachNewDayOnce) {
    CheckOutcome first = Check(L"days");
    EXPECT_TRUE(first.ok) << first.why;
    EXPECT_EQ(first.added,
              (std::vector<std::wstring>{folder + L"\\2026-12-08 长城.jpg", folder + L"\\2026-12-09 海边.jpg",
                                         folder + L"\\2026-12-10 雪山.jpg"}));
    EXPECT_EQ(Width(L"2026-12-10 雪山.jpg"), 60) << "the UHD picture";
    std::vector<daily::ManifestEntry> listed = daily::ReadManifest(folder);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[2].title, L"雪山");
    EXPECT_EQ(listed[2].copyright, L"雪山 (© 摄影者)");

    // Nothing new: nothing is written, not even the state file.
    const FILETIME written = Written(daily::ManifestName);
    Sleep(20);
    CheckOutcome again = Check(L"days");
    EXPECT_TRUE(again.ok && again.added.empty()) << again.why;
    const FILETIME writtenAgain = Written(daily::ManifestName);
    EXPECT_EQ(CompareFileTime(&written, &writtenAgain), 0);
    EXPECT_EQ(test::FilesIn(folder).size(), 4u);
}

TEST_F(DailyCheckTest, TakesTheAnswersOwnAddressWithoutTheLargestSize) {
    CheckOutcome outcome = Check(L"noUhd");
    EXPECT_TRUE(outcome.ok) << outcome.why;
    EXPECT_EQ(Width(L"2026-12-11 月亮.jpg"), 35);
    std::vector<daily::ManifestEntry> listed = daily::ReadManifest(folder);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_NE(listed[0].address.find(L"NoUhd_1920x1080.jpg"), std::wstring::npos) << listed[0].address;
}

TEST_F(DailyCheckTest, AFailedLookLeavesNothing) {
    for (const wchar_t* answer : {L"gone", L"cut", L"text", L"bad"}) {
        CheckOutcome outcome = Check(answer);
        EXPECT_FALSE(outcome.ok) << answer;
        EXPECT_FALSE(outcome.why.empty()) << answer;
        EXPECT_TRUE(outcome.added.empty()) << answer;
        EXPECT_TRUE(test::FilesIn(folder).empty()) << answer;
    }
    // Nobody answers on this port.
    CheckOutcome nobody =
        daily::RunCheck({folder, L"http://127.0.0.1:1/hp/days", 30, {}}, http, [] { return false; });
    EXPECT_FALSE(nobody.ok);
    EXPECT_TRUE(test::FilesIn(folder).empty());
}

TEST_F(DailyCheckTest, KeepsTheNewestOfItsOwnPicturesOnly) {
    CreateDirectoryW(folder.c_str(), nullptr);
    // Someone else's picture, named as ours are but not listed, and a favourite of ours.
    test::TempFolder::Write(folder + L"\\2026-01-01 别人的.jpg", "x");
    CheckOutcome outcome =
        daily::RunCheck({folder, test::DailyAddress(L"days"), 1,
                         [](const std::wstring& name) { return name == L"2026-12-08 长城.jpg"; }},
                        http, [] { return false; });
    EXPECT_TRUE(outcome.ok) << outcome.why;
    EXPECT_EQ(outcome.added, (std::vector<std::wstring>{folder + L"\\2026-12-08 长城.jpg",
                                                        folder + L"\\2026-12-10 雪山.jpg"}));
    EXPECT_EQ(test::FilesIn(folder),
              (std::vector<std::wstring>{L"2026-01-01 别人的.jpg", L"2026-12-08 长城.jpg",
                                         L"2026-12-10 雪山.jpg", daily::ManifestName}));
    EXPECT_EQ(daily::ReadManifest(folder).size(), 3u) << "a deleted picture stays listed, not to come again";
}

TEST_F(DailyCheckTest, CancelEndsAHangingDownloadAndLeavesNothing) {
    std::atomic<bool> stale = false;
    CheckOutcome outcome;
    std::thread look([&] {
        outcome = daily::RunCheck({folder, test::DailyAddress(L"hang"), 30, {}}, http,
                                  [&] { return stale.load(); });
    });
    // The download is under way once its temporary file holds the first bytes.
    auto started = [&] {
        for (const std::wstring& name : test::FilesIn(folder))
            if (test::ReadBytes(folder + L"\\" + name).size() >= 100) return true;
        return false;
    };
    for (int i = 0; i < 1000 && !started(); ++i)
        Sleep(10);
    EXPECT_TRUE(started());
    const ULONGLONG before = GetTickCount64();
    stale = true;
    http.Cancel();
    look.join();
    const ULONGLONG took = GetTickCount64() - before;
    printf("a hanging download ended %llu ms after the cancel\n", took);
    EXPECT_LT(took, 10000u) << "the download's own limit is a minute";
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_TRUE(test::FilesIn(folder).empty());
}

} // namespace
