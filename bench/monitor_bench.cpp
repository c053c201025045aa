// The change log's cost per entry as it grows: 100,000 notifications, each a distinct entry, sent
// one by one to a shown window that monitors, its messages handled after each; the median cost of
// the last 1,000 beside that of the first 1,000, the dearest entry (one that trims the log), and
// entries per second. Then what one drawing of the log costs early and late, entries per second in
// bursts, the memory after 100,000 entries beside that after 10,000, saving the log, and for
// contrast what one search of the whole log's text costs and what an entry costs in a plain edit
// control that holds 2,000 entries. `monitor_bench copy`: 10,000 entries selected and copied, how
// long that takes and the longest the window leaves a message unanswered meanwhile, and whether the
// clipboard then holds the saved log's text.
#include "bench/timing.h"
#include "monitor/log_entry.h"
#include "monitor/shell_notify.h"
#include "tests/monitor/monitor_window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <psapi.h>
#include <shlobj.h>
#include <string>
#include <vector>

namespace {

using bench::Median;
using bench::Now;

// Memory committed by the process, in MB.
double CommittedMb() {
    PROCESS_MEMORY_COUNTERS m{sizeof m};
    GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m);
    return double(m.PagefileUsage) / (1024.0 * 1024.0);
}

void Drain() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

// One drawing of the log, as its timer does it after new entries.
double DrawTime() {
    Sleep(200);
    double t0 = Now();
    Drain();
    return Now() - t0;
}

void Deliver(HWND window, const monitor::UniqueIdList& item) {
    const void* pair[2] = {item.get(), nullptr};
    SendMessageW(window, monitor::WM_SHELLNOTIFY, reinterpret_cast<WPARAM>(pair), SHCNE_CREATE);
}

// The clipboard's text (empty when there is none).
std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) text = p;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// The text of a file written as UTF-8 with a byte order mark.
std::wstring Utf8File(const std::wstring& path) {
    std::string bytes;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        char chunk[65536];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
            bytes.append(chunk, n);
        std::fclose(f);
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    std::wstring text(bytes.size(), L'\0');
    text.resize(
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), text.data(), int(text.size())));
    return text;
}

int CopyBench(const std::vector<monitor::UniqueIdList>& items) {
    test::MonitorWindow w(true);
    Drain();
    w.page->Command7_Click();
    for (const auto& item : items)
        Deliver(w.hwnd(), item);
    test::Pump(1000);
    const int rows = ListView_GetItemCount(w.page->RichTextBox1);
    bench::Probe probe(w.hwnd());
    test::Pump(300);
    probe.Restart();
    double t0 = Now();
    w.page->menu全选_Click();
    double t1 = Now();
    w.page->menu复制_Click();
    double t2 = Now();
    test::Pump(300);
    const double worst = probe.Stop();
    wchar_t temp[MAX_PATH], saved[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    GetTempFileNameW(temp, L"log", 0, saved);
    w.page->SaveLog(saved);
    const std::wstring log = Utf8File(saved), copied = ClipboardText(w.hwnd());
    DeleteFileW(saved);
    size_t differs = std::mismatch(log.begin(), log.end(), copied.begin(), copied.end()).first - log.begin();
    std::printf("copy of %zu entries (%d rows): select all %.0f ms, copy %.0f ms; longest wait for an answer "
                "%.0f ms (target <= 100)\n",
                w.page->Log().Entries(), rows, (t1 - t0) * 1e3, (t2 - t1) * 1e3, worst);
    std::printf("clipboard %s the saved log's text (%zu and %zu characters%s)\n",
                log == copied ? "holds" : "does NOT hold", copied.size(), log.size(),
                log == copied ? "" : (", first difference at " + std::to_string(differs)).c_str());
    w.page->Command9_Click();
    return log == copied && !log.empty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool copy = argc > 1 && std::string(argv[1]) == "copy";
    // A smaller count may be given for a quick look.
    const int Entries = copy       ? int(monitor::LogKeep)
                        : argc > 1 ? std::max(12000, std::atoi(argv[1]))
                                   : 100000;
    constexpr int Window = 1000, Burst = 100, Bursts = 20;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::vector<monitor::UniqueIdList> items;
    for (int i = 0; i < Entries + Burst * Bursts; ++i)
        items.emplace_back(SHSimpleIDListFromPath(
            (std::wstring(temp) + L"tavolin-bench\\新建文件夹\\entry " + std::to_wstring(i) + L".txt")
                .c_str()));
    if (copy) {
        items.resize(Entries);
        return CopyBench(items);
    }

    test::MonitorWindow w(true);
    Drain();
    w.page->Command7_Click();
    double before = CommittedMb();

    std::vector<double> cost(Entries);
    double drawFirst = 0, atKeep = 0;
    for (int i = 0; i < Entries; ++i) {
        double t0 = Now();
        Deliver(w.hwnd(), items[i]);
        Drain(); // the window flashes and draws the log, as in the program
        cost[i] = Now() - t0;
        if (i == Window - 1) drawFirst = DrawTime();
        if (i + 1 == int(monitor::LogKeep)) atKeep = CommittedMb();
    }
    double total = std::accumulate(cost.begin(), cost.end(), 0.0);
    double drawLast = DrawTime();
    double afterLog = CommittedMb();
    std::wstring log = test::LogText(w.page->RichTextBox1);
    wchar_t saved[MAX_PATH];
    GetTempFileNameW(temp, L"log", 0, saved);
    double v0 = Now();
    bool wasSaved = w.page->SaveLog(saved);
    double save = Now() - v0;
    DeleteFileW(saved);

    // What the duplicate test would cost if it searched the log's text instead.
    double s0 = Now();
    std::wstring whole = w.page->Log().Text();
    CharLowerBuffW(whole.data(), static_cast<DWORD>(whole.size()));
    volatile bool found = whole.find(L"[no such entry]") != std::wstring::npos;
    (void)found;
    double scan = Now() - s0;
    whole = {};

    // The record of logged entries alone, built again from the log's entries.
    double beforeRecord = CommittedMb();
    monitor::LoggedEntries record;
    size_t logged = 0;
    for (size_t at = 0, end; (end = log.find(L"\r\n\r\n", at)) != std::wstring::npos; at = end + 4)
        logged += record.Add(log.substr(at, end + 2 - at));
    double recordMb = CommittedMb() - beforeRecord;

    double b0 = Now();
    for (int i = Entries; i < Entries + Burst * Bursts; ++i) {
        Deliver(w.hwnd(), items[i]);
        if ((i + 1) % Burst == 0) Drain();
    }
    double bursts = Now() - b0;

    // An entry into a plain edit control that holds 2,000 entries already.
    HWND edit =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0,
                        0, 600, 300, w.hwnd(), nullptr, nullptr, nullptr);
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    std::wstring some = log.substr(log.size() - std::min(log.size(), log.size() / monitor::LogKeep * 2000));
    SetWindowTextW(edit, some.c_str());
    std::vector<double> editCost;
    for (size_t at = 0, end; editCost.size() < 50 && (end = some.find(L"\r\n\r\n", at)) != std::wstring::npos;
         at = end + 4) {
        std::wstring entry = some.substr(at, end + 4 - at);
        double t0 = Now();
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(entry.c_str()));
        SendMessageW(edit, EM_SCROLLCARET, 0, 0);
        Drain();
        editCost.push_back(Now() - t0);
    }
    DestroyWindow(edit);

    double first = Median({cost.begin(), cost.begin() + Window});
    double last = Median({cost.end() - Window, cost.end()});
    double textMb = double(log.size() * sizeof(wchar_t)) / (1024.0 * 1024.0);
    double logMb = afterLog - before;
    std::printf("entries in the log:                 %zu of %d (%zu dropped; %zu read back)\n",
                w.page->Log().Entries(), Entries, w.page->Log().Dropped(), logged);
    std::printf("median cost, first %d:             %.0f us\n", Window, first * 1e6);
    std::printf("median cost, last %d:              %.0f us\n", Window, last * 1e6);
    std::printf("last / first:                       %.2f\n", last / first);
    std::vector<int> order(cost.size());
    std::iota(order.begin(), order.end(), 0);
    std::partial_sort(order.begin(), order.begin() + 3, order.end(),
                      [&](int a, int b) { return cost[a] > cost[b]; });
    std::printf("dearest entries:                    ");
    for (int k = 0; k < 3; ++k)
        std::printf("#%d %.0f us%s", order[k] + 1, cost[order[k]] * 1e6, k < 2 ? ", " : "\n");
    std::printf("  (the log is trimmed by entries #%zu, #%zu, ...)\n", monitor::LogKeep + monitor::LogChunk,
                monitor::LogKeep + 2 * monitor::LogChunk);
    std::printf("entries per second, one at a time:  %.0f\n", Entries / total);
    std::printf("one drawing of the log, after %d:  %.0f us\n", Window, drawFirst * 1e6);
    std::printf("one drawing of the log, at the end: %.0f us\n", drawLast * 1e6);
    std::printf("entries per second, bursts of %d:  %.0f\n", Burst, Burst * Bursts / bursts);
    std::printf("log text (UTF-16):                  %.1f MB (%zu characters)\n", textMb, log.size());
    std::printf("memory after the entries:           %.1f MB (%.1f x the text)\n", logMb, logMb / textMb);
    std::printf("memory after %d / after %zu:    %.2f (%.1f MB / %.1f MB)\n", Entries, monitor::LogKeep,
                logMb / (atKeep - before), logMb, atKeep - before);
    std::printf("saving the log (%zu entries):      %.0f ms%s\n", w.page->Log().Entries(), save * 1e3,
                wasSaved ? "" : " FAILED");
    std::printf("  of which the record of entries:   %.1f MB (%.1f x the text)\n", recordMb,
                recordMb / textMb);
    std::printf("one search of the whole log:        %.0f us (%.1f x a median entry at the end)\n",
                scan * 1e6, scan / last);
    std::printf("an entry into a plain edit of 2,000: %.0f us (%.1f x a median entry at the end)\n",
                Median(editCost) * 1e6, Median(editCost) / last);
    w.page->Command9_Click();
    return w.page->Log().Entries() >= monitor::LogKeep && wasSaved ? 0 : 1;
}
