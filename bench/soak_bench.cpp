// Does the program stay the same size over a long run? Quorvel.exe runs as its own process with the
// automatic wallpaper change at its fastest (an interval of 1 s stored in its settings, which are
// read unchecked), its window shown and hidden every 50 changes, the browser's live view over a
// desktop folder that changes every second, and the change monitor on, fed 100 notifications a
// change. From change N/10 on, the GDI and USER objects, the kernel handles and the committed
// memory are read every N/10 changes; at the end their spread from the first reading.
// Usage: soak_bench [CHANGES] (1000 by default; about a second each).
#include "bench/process_figures.h"
#include "monitor/shell_notify.h"
#include "res/resource.h"
#include "tests/e2e/driver.h"
#include "tests/support/temp_folder.h"
#include "tests/wallpaper/test_pictures.h"
#include "ui/controls.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int NotificationsPerChange = 100;

struct Figures {
    long gdi, user, windows, handles;
    double mb;
};

// Windows of the process, top-level and child: the USER objects that can be counted from outside.
long WindowCount(DWORD pid) {
    long n = 0;
    for (HWND top : e2e::TopLevelWindows(pid, L"")) {
        ++n;
        EnumChildWindows(
            top, [](HWND, LPARAM count) { return ++*reinterpret_cast<long*>(count), TRUE; },
            reinterpret_cast<LPARAM>(&n));
    }
    return n;
}

// Item-ID lists of files that need not exist, copied into the program with the pairs of pointers
// that a shell notification's wParam points at (this is how the shell delivers them to a 64-bit
// window), so that each notification names another file.
class RemoteItems {
  public:
    RemoteItems(HANDLE process, int count) : process_(process) {
        std::vector<monitor::UniqueIdList> items;
        size_t bytes = count * 2 * sizeof(void*);
        for (int i = 0; i < count; ++i) {
            items.emplace_back(SHSimpleIDListFromPath(
                (L"C:\\users\\soak\\新建文件夹\\条目 " + std::to_wstring(i) + L".txt").c_str()));
            bytes += ILGetSize(items.back().get());
        }
        base_ = static_cast<char*>(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
        std::vector<char> image(bytes);
        size_t at = count * 2 * sizeof(void*);
        for (int i = 0; i < count; ++i) {
            void* pair[2] = {base_ + at, nullptr};
            std::memcpy(image.data() + i * sizeof pair, pair, sizeof pair);
            UINT size = ILGetSize(items[i].get());
            std::memcpy(image.data() + at, items[i].get(), size);
            at += size;
        }
        WriteProcessMemory(process, base_, image.data(), bytes, nullptr);
    }
    ~RemoteItems() { VirtualFreeEx(process_, base_, 0, MEM_RELEASE); }
    WPARAM Pair(int i) const { return reinterpret_cast<WPARAM>(base_ + i * 2 * sizeof(void*)); }

  private:
    HANDLE process_;
    char* base_ = nullptr;
};

Figures Read(HANDLE process, DWORD pid) {
    return {static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS)),
            static_cast<long>(GetGuiResources(process, GR_USEROBJECTS)), WindowCount(pid),
            static_cast<long>(bench::HandleCount(pid)), bench::MemoryMb(process)};
}

} // namespace

int main(int argc, char** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int changes = argc > 1 ? std::max(20, std::atoi(argv[1])) : 1000;
    const int step = changes / 10;

    test::TempFolder desktopFolder(L"soak-desktop");
    bench::DesktopAt desktop(desktopFolder.path());
    e2e::ProgramFolder folder;
    CreateDirectoryW(folder.pictureFolder().c_str(), nullptr);
    for (int i = 0; i < 3; ++i)
        test::WritePicture(folder.pictureFolder() + L"\\" + std::to_wstring(i) + L".jpg",
                           GUID_ContainerFormatJpeg, 320 + 40 * i, 200);
    folder.Store(L"替换墙纸的时间间隔", L"1");

    e2e::Program program(folder);
    HWND main = program.WaitUntilStarted(60000);
    if (!main) {
        std::printf("the program did not start\n");
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, program.pid());
    RemoteItems items(process, NotificationsPerChange);
    e2e::Press(e2e::Control(main, ui::IDC_Command7));
    if (!e2e::WaitFor([&] { return e2e::Text(e2e::Control(main, ui::IDC_Label3)) == L"监视已经启动"; })) {
        std::printf("the monitor did not start\n");
        return 1;
    }
    HWND list = e2e::Control(main, ui::IDC_File1);
    program.Choose(ID_menu自动更换壁纸);

    // Wine answers GetGuiResources with 0: the windows are the USER objects that can be counted there.
    std::printf("%8s %6s %6s %8s %8s %10s %10s\n", "change", "GDI", "USER", "windows", "handles", "memory MB",
                "log lines");
    HWND log = e2e::Control(main, ui::IDC_RichTextBox1);
    std::vector<Figures> readings;
    int change = 0, notifications = 0;
    LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    bool shown = false;
    const ULONGLONG end = GetTickCount64() + ULONGLONG(changes) * 3000 + 60000;
    while (change < changes && GetTickCount64() < end && program.Running()) {
        Sleep(20);
        LRESULT now = SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (now == index) continue;
        index = now;
        ++change;
        // The shown folder changes: a file comes, the one before is renamed, the one before that goes.
        std::wstring base = desktopFolder.path() + L"\\";
        test::TempFolder::Write(base + L"new " + std::to_wstring(change) + L".txt", "x");
        MoveFileW((base + L"new " + std::to_wstring(change - 1) + L".txt").c_str(),
                  (base + L"renamed " + std::to_wstring(change - 1) + L".txt").c_str());
        DeleteFileW((base + L"renamed " + std::to_wstring(change - 2) + L".txt").c_str());
        for (int i = 0; i < NotificationsPerChange; ++i, ++notifications)
            PostMessageW(main, monitor::WM_SHELLNOTIFY, items.Pair(i), SHCNE_CREATE);
        if (change % 50 == 0) {
            shown = !shown;
            PostMessageW(main, shown ? 0x7E9 : WM_CLOSE, 0, shown ? WM_LBUTTONUP : 0);
        }
        if (change % step == 0) {
            // The posted notifications are handled first.
            DWORD_PTR answer;
            SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
            Figures f = Read(process, program.pid());
            readings.push_back(f);
            std::printf("%8d %6ld %6ld %8ld %8ld %10.1f %10ld\n", change, f.gdi, f.user, f.windows, f.handles,
                        f.mb, static_cast<long>(SendMessageW(log, LVM_GETITEMCOUNT, 0, 0)));
            std::fflush(stdout);
        }
    }
    program.Choose(ID_menu自动更换壁纸);
    if (readings.size() < 2) {
        std::printf("only %d changes were seen\n", change);
        return 1;
    }
    auto spread = [&](auto field) {
        double lo = 0, hi = 0;
        for (const Figures& f : readings) {
            lo = std::min(lo, double(field(f) - field(readings.front())));
            hi = std::max(hi, double(field(f) - field(readings.front())));
        }
        return std::pair{lo, hi};
    };
    auto [gdiLo, gdiHi] = spread([](const Figures& f) { return double(f.gdi); });
    auto [userLo, userHi] = spread([](const Figures& f) { return double(f.user); });
    auto [windowLo, windowHi] = spread([](const Figures& f) { return double(f.windows); });
    auto [handleLo, handleHi] = spread([](const Figures& f) { return double(f.handles); });
    auto [mbLo, mbHi] = spread([](const Figures& f) { return f.mb; });
    std::printf("changes %d, notifications %d; from change %d to %d:\n", change, notifications, step, change);
    std::printf(
        "  GDI objects  %+.0f .. %+.0f\n  USER objects %+.0f .. %+.0f\n  windows      %+.0f .. %+.0f\n"
        "  handles      %+.0f .. %+.0f\n  memory       %+.1f .. %+.1f MB; last / first %.2f\n",
        gdiLo, gdiHi, userLo, userHi, windowLo, windowHi, handleLo, handleHi, mbLo, mbHi,
        readings.back().mb / readings.front().mb);
    CloseHandle(process);
    return program.Quit() ? 0 : 1;
}
