// The wallpaper bitmap while the process writing it is ended at any moment: it is always the old
// whole file or the new whole file, and what the interrupted writes left is removed by the next one.
#include "tests/support/temp_folder.h"
#include "tests/wallpaper/test_pictures.h"
#include "wallpaper/laying/wallpaper_setter.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

std::wstring BesideThisProgram(const std::wstring& name) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.rfind(L'\\') + 1) + name;
}

size_t Leftovers(const std::wstring& folder) {
    size_t n = 0;
    for (const std::wstring& name : test::FilesIn(folder))
        n += name.starts_with(L"Vesmar.bmp.");
    return n;
}

} // namespace

TEST(InterruptedWallpaper, TheBitmapIsAlwaysWholeAndLeftoversGoWithTheNextWrite) {
    test::UseCom();
    test::TempFolder folder(L"interrupted");
    std::wstring a = folder.path() + L"\\a.jpg", b = folder.path() + L"\\b.bmp";
    // Large enough that most of the writer's time goes into writing the file.
    ASSERT_TRUE(test::WritePicture(a, GUID_ContainerFormatJpeg, 1600, 1200));
    ASSERT_TRUE(test::WritePicture(b, GUID_ContainerFormatBmp, 1200, 1600, 0x336699));
    std::wstring bitmap = folder.path() + L"\\Vesmar.bmp";
    ASSERT_EQ(wallpaper::SaveAsBitmap(*wallpaper::Picture::Load(b), bitmap), L"");
    const std::string fromB = test::ReadBytes(bitmap);
    ASSERT_EQ(wallpaper::SaveAsBitmap(*wallpaper::Picture::Load(a), bitmap), L"");
    const std::string fromA = test::ReadBytes(bitmap);
    ASSERT_NE(fromA, fromB);

    std::wstring eventName = L"Local\\TavolinWriterStarted" + std::to_wstring(GetCurrentProcessId());
    platform::UniqueHandle started(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    int interrupted = 0; // runs that ended in the middle of a write
    for (int run = 0; run < 24; ++run) {
        ResetEvent(started.get());
        std::wstring line = L"\"" + BesideThisProgram(L"wallpaper_writer.exe") + L"\" \"" + bitmap +
                            L"\" \"" + a + L"\" \"" + b + L"\" " + eventName;
        STARTUPINFOW si{sizeof si};
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(
            CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        platform::UniqueHandle process(pi.hProcess), thread(pi.hThread);
        ASSERT_EQ(WaitForSingleObject(started.get(), 20000), WAIT_OBJECT_0) << run;
        // Ends at a different moment each run, from the very first write to several writes later.
        Sleep(static_cast<DWORD>(run * 37 % 230));
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), INFINITE);
        std::string now = test::ReadBytes(bitmap);
        EXPECT_TRUE(now == fromA || now == fromB) << "run " << run << ": " << now.size() << " bytes";
        interrupted += Leftovers(folder.path()) > 0;
    }
    EXPECT_GT(interrupted, 0);

    // A leftover of an earlier run, and files that only look alike, which stay.
    test::TempFolder::Write(bitmap + L".4242-1.tmp", "half a bitmap");
    test::TempFolder::Write(bitmap + L".backup.tmp", "someone else's");
    test::TempFolder::Write(folder.path() + L"\\Vesmar.bmp.tmp", "someone else's");
    ASSERT_EQ(wallpaper::SetWallpaper(*wallpaper::Picture::Load(b), bitmap), L"");
    EXPECT_EQ(test::ReadBytes(bitmap), fromB);
    EXPECT_EQ(test::FilesIn(folder.path()),
              (std::vector<std::wstring>{L"Vesmar.bmp", L"Vesmar.bmp.backup.tmp", L"Vesmar.bmp.tmp", L"a.jpg",
                                         L"b.bmp"}));
}

// A reader holding the old bitmap (the desktop, a viewer) only delays the replace: under Wine, as on
// Windows, a file that is open cannot be replaced, even by a reader that shares deletion.
TEST(InterruptedWallpaper, AReaderHoldingTheOldBitmapOnlyDelaysTheNewOne) {
    test::UseCom();
    test::TempFolder folder(L"held");
    std::wstring bitmap = folder.path() + L"\\Vesmar.bmp";
    ASSERT_TRUE(test::WritePicture(bitmap, GUID_ContainerFormatBmp, 64, 48));
    auto picture = wallpaper::Picture::Load(bitmap);
    ASSERT_TRUE(picture);
    HANDLE reader =
        CreateFileW(bitmap.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::wstring error;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        error = wallpaper::SaveAsBitmap(*picture, bitmap);
        done = true;
    });
    // The reader holds the old bitmap a while after the new one lies beside it, waiting to replace it.
    while (Leftovers(folder.path()) == 0 && !done)
        Sleep(1);
    Sleep(300);
    CloseHandle(reader);
    writer.join();
    EXPECT_EQ(error, L"");
    EXPECT_EQ(Leftovers(folder.path()), 0u);
}
