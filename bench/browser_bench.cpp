// The folder browser's speed, each figure beside its yardstick in the same run:
// - listing a folder of 5,000 files and 50 subfolders holding 50,000 files (sizes included), beside a bare
//   recursive walk of the same tree;
// - sorting 10,000 rows by size, beside the list control sorting the same rows by name with its own text
// order.
#include "bench/timing.h"
#include "browser/browser_page.h"
#include "tests/support/temp_folder.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using bench::BareWalk;
using bench::Median;

struct NoHost : browser::BrowserHost {
    void BringUpMainWindow() override {}
    void ShowBrowserTab() override {}
    std::wstring BrowseForFolder() override { return {}; }
};

double Seconds(const std::function<void()>& work) {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    work();
    QueryPerformanceCounter(&b);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

const wchar_t* const Extensions[] = {L"txt", L"jpg", L"doc", L"zip", L"dat",
                                     L"log", L"pdf", L"xml", L"ini", L"bmp"};

void MakeFiles(const std::wstring& folder, int count) {
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        std::wstring name = folder + L"\\file " + std::to_wstring(i) + L"." + Extensions[i % 10];
        test::TempFolder::Write(name, std::string(static_cast<size_t>(i % 97), 'x'));
    }
}

// The list control's own sort by name: a plain list of the same rows, ordered by their texts.
int CALLBACK CompareNames(LPARAM a, LPARAM b, LPARAM list) {
    wchar_t x[260], y[260];
    ListView_GetItemText(reinterpret_cast<HWND>(list), static_cast<int>(a), 0, x, 260);
    ListView_GetItemText(reinterpret_cast<HWND>(list), static_cast<int>(b), 0, y, 260);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, x, -1, y, -1) - CSTR_EQUAL;
}

} // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HWND window = CreateWindowW(L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 900, 600, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    test::TempFolder temp(L"browser-bench");

    // ---- the shell's answers, asked by kind of entry ----
    {
        browser::IconCache icons;
        icons.Reset();
        fileinfo::TypeNames types;
        double firstIcon =
            Seconds([&] { icons.CacheTypeIcon(L"C:\\x.first", L"first", false, FILE_ATTRIBUTE_NORMAL); });
        const wchar_t* kinds[] = {L"a.txt", L"a.jpg", L"a.doc", L"a.zip", L"a.dat",
                                  L"a.log", L"a.pdf", L"a.xml", L"a.ini", L"a.bmp"};
        double typeNames = Seconds([&] {
            for (const wchar_t* k : kinds)
                types.ForFile(k);
        });
        double iconsByKind = Seconds([&] {
            for (const wchar_t* k : kinds)
                icons.CacheTypeIcon(k, types.ForFile(k), false, FILE_ATTRIBUTE_NORMAL);
        });
        wchar_t notepad[MAX_PATH];
        GetWindowsDirectoryW(notepad, MAX_PATH);
        std::wstring exe = std::wstring(notepad) + L"\\notepad.exe";
        double iconByPath = Seconds([&] { icons.CacheTypeIcon(exe, L"程序", true, FILE_ATTRIBUTE_NORMAL); });
        std::printf(
            "shell: first icon of the run %.1f ms; per new extension: type name %.2f ms, icon %.2f ms; "
            "an icon asked by path %.1f ms\n",
            firstIcon * 1e3, typeNames * 1e3 / 10, iconsByKind * 1e3 / 10, iconByPath * 1e3);
    }

    // ---- listing ----
    std::wstring tree = temp.path() + L"\\tree";
    std::printf("making the tree: 5,000 files and 50 folders of 1,000 files ...\n");
    MakeFiles(tree, 5000);
    for (int i = 0; i < 50; ++i)
        MakeFiles(tree + L"\\folder " + std::to_wstring(i), 1000);

    NoHost host;
    browser::BrowserPage page(host);
    page.Build(window, ui::IDC_Page0, nullptr, 96);
    SetWindowPos(page.hwnd(), nullptr, 0, 0, 880, 560, SWP_NOZORDER | SWP_SHOWWINDOW);
    page.Layout(13000, 8000, 96);
    core::FolderPaths paths;
    paths.Desktop = tree;
    BareWalk(tree); // the file system's caches warm for both

    // Start-up lists the desktop twice; the shell's type names and icons are asked for during the first.
    double startUp = Seconds([&] { page.StartUp(paths); });
    std::vector<double> walk, listing;
    for (int i = 0; i < 5; ++i) {
        walk.push_back(Seconds([&] { BareWalk(tree); }));
        listing.push_back(Seconds([&] { page.RefreshBrowser(); }));
    }
    double w = Median(walk), l = Median(listing);
    std::printf("listing %zu rows: %.3f s; bare recursive walk: %.3f s; ratio %.2f (target <= 1.5)\n",
                page.Rows().size(), l, w, l / w);
    std::printf(
        "  (start-up's two listings of it, the first with the shell's answers not yet cached: %.3f s)\n",
        startUp);

    // ---- sorting ----
    std::wstring many = temp.path() + L"\\many";
    MakeFiles(many, 10000);
    paths.Desktop = many;
    page.StartUp(paths);
    const std::vector<browser::BrowserRow>& rows = page.Rows();

    HWND plain = CreateWindowW(WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 800, 500, window, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    LVCOLUMNW col{LVCF_TEXT | LVCF_WIDTH, 0, 200, const_cast<wchar_t*>(L"名称")};
    ListView_InsertColumn(plain, 0, &col);
    ListView_InsertColumn(plain, 1, &col);
    SendMessageW(plain, WM_SETREDRAW, FALSE, 0);
    for (size_t i = 0; i < rows.size(); ++i) {
        LVITEMW item{LVIF_TEXT, static_cast<int>(i), 0, 0, 0, const_cast<wchar_t*>(rows[i].Text.c_str())};
        int at = ListView_InsertItem(plain, &item);
        ListView_SetItemText(plain, at, 1, const_cast<wchar_t*>(rows[i].Size.c_str()));
    }
    std::vector<double> bySize, byName, control;
    for (int i = 0; i < 5; ++i) {
        bySize.push_back(Seconds([&] { page.ListView1_ColumnClick(2); }));
        byName.push_back(Seconds([&] { page.ListView1_ColumnClick(1); }));
        control.push_back(
            Seconds([&] { ListView_SortItemsEx(plain, CompareNames, reinterpret_cast<LPARAM>(plain)); }));
    }
    double s = Median(bySize), n = Median(byName), c = Median(control);
    std::printf("sorting %zu rows by size: %.3f s; the list control's own sort by name: %.3f s; ratio %.2f "
                "(target <= 2)\n",
                rows.size(), s, c, s / c);
    std::printf("  (the browser's own sort by name: %.3f s, ratio %.2f to the control's)\n", n, n / c);
    DestroyWindow(window);
    return 0;
}
