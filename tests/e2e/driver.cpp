#include "tests/e2e/driver.h"
#include "tests/support/user_input.h"

#include "res/resource.h"
#include "settings/registry.h"
#include "settings/settings_store.h"
#include "tests/support/temp_folder.h"
#include "ui/controls.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

namespace e2e {
namespace {

std::wstring BinFolder() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring s = self;
    return s.substr(0, s.rfind(L'\\'));
}

std::wstring ClassOf(HWND w) {
    wchar_t cls[256] = L"";
    GetClassNameW(w, cls, 256);
    return cls;
}

DWORD PidOf(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

} // namespace

ProgramFolder::ProgramFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    path_ = std::wstring(base) + L"Tavolin e2e " + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    test::RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
    CopyFileW((BinFolder() + L"\\Quorvel.exe").c_str(), exe().c_str(), FALSE);
    CopyFileW((BinFolder() + L"\\Quorvel.htm").c_str(), (path_ + L"\\Quorvel.htm").c_str(), FALSE);
}

ProgramFolder::ProgramFolder(std::wstring existing) : path_(std::move(existing)), made_(false) {}

ProgramFolder::~ProgramFolder() {
    if (made_) test::RemoveTree(path_);
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Tavolin\\" + path_).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, (L"Software\\Tavolin\\" + path_).c_str());
}

std::wstring WallpaperBitmap() {
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring probe = std::wstring(windows) + L"\\tavolin e2e probe.tmp";
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return std::wstring(windows) + L"\\Vesmar.bmp";
    }
    PWSTR local = nullptr;
    SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local);
    std::wstring bitmap = std::wstring(local ? local : L"") + L"\\Tavolin\\Vesmar.bmp";
    CoTaskMemFree(local);
    return bitmap;
}

void ProgramFolder::Store(const std::wstring& key, const std::wstring& text) const {
    settings::SaveSetting(path_, settings::SectionSettings, key, text);
}

std::wstring ProgramFolder::Stored(const std::wstring& key) const {
    return settings::GetSetting(path_, settings::SectionSettings, key, L"");
}

Program::Program(const ProgramFolder& folder, const std::wstring& arguments) {
    std::wstring line = L"\"" + folder.exe() + L"\"";
    if (!arguments.empty()) line += L" " + arguments;
    STARTUPINFOW si{sizeof si};
    if (CreateProcessW(folder.exe().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.path().c_str(), &si, &pi_))
        pid_ = pi_.dwProcessId;
}

Program::~Program() {
    if (Running() && !Quit(5000)) TerminateProcess(pi_.hProcess, 1);
    if (pi_.hProcess) {
        WaitForSingleObject(pi_.hProcess, 5000);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
}

bool Program::Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(DWORD ms) const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0;
}

HWND Program::MainWindow(DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            auto w = TopLevelWindows(pid_, L"TavolinMainWindow");
            found = w.empty() ? nullptr : w.front();
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

HWND Program::WaitUntilStarted(DWORD timeoutMs) const {
    HWND main = MainWindow(timeoutMs);
    if (main && !WaitFor([&] { return HasTrayIcon(main); }, timeoutMs)) return nullptr;
    // The icon comes before the last steps of start-up; the first wait for input comes after them.
    if (main) WaitForInputIdle(pi_.hProcess, timeoutMs);
    // The tabs not on show come once the window has painted; the version label is their last step.
    if (main && !WaitFor([&] { return !Text(Control(main, ui::IDC_lblVersion)).empty(); }, timeoutMs))
        return nullptr;
    return main;
}

void Program::Choose(int commandId) const {
    if (HWND main = MainWindow(2000)) PostMessageW(main, WM_COMMAND, static_cast<WPARAM>(commandId), 0);
}

HWND Program::OpenOptions() const {
    Choose(ID_menu设置);
    HWND dialog = nullptr;
    WaitFor([&] {
        for (HWND w : TopLevelWindows(pid_, L"#32770"))
            if (IsWindowVisible(w) && GetDlgItem(w, IDC_OPT_Text1)) dialog = w;
        return dialog != nullptr;
    });
    return dialog;
}

bool Program::Quit(DWORD ms) const {
    Choose(ID_menu退出);
    return WaitForExit(ms);
}

bool WaitFor(const std::function<bool()>& condition, DWORD ms) {
    ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(50);
    }
}

std::wstring Text(HWND window) {
    return platform::GetText(window);
}

std::vector<HWND> TopLevelWindows(DWORD pid, const std::wstring& cls) {
    struct Search {
        DWORD pid;
        const std::wstring* cls;
        std::vector<HWND> found;
    } s{pid, &cls, {}};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if ((s->pid == 0 || PidOf(w) == s->pid) && (s->cls->empty() || ClassOf(w) == *s->cls))
                s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::wstring MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF); // the message's static control
    return text ? Text(text) : L"";
}

HWND WaitForMessageBox(DWORD pid, const std::wstring& text, DWORD ms) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND w : TopLevelWindows(pid, L"#32770"))
                if (IsWindowVisible(w) && MessageBoxText(w).find(text) != std::wstring::npos) {
                    found = w;
                    return true;
                }
            return false;
        },
        ms);
    return found;
}

void PressButton(HWND dialog, int id) {
    if (HWND button = GetDlgItem(dialog, id)) PostMessageW(button, BM_CLICK, 0, 0);
}

HWND Control(HWND top, int id) {
    struct Search {
        int id;
        HWND found;
    } s{id, nullptr};
    EnumChildWindows(
        top,
        [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (GetDlgCtrlID(w) == s->id) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

void ClickRow(HWND listBox, int row) {
    int h = static_cast<int>(SendMessageW(listBox, LB_GETITEMHEIGHT, 0, 0));
    LPARAM at = MAKELPARAM(10, h * row + h / 2);
    PostMessageW(listBox, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(listBox, WM_LBUTTONUP, 0, at);
}

std::vector<std::wstring> ListBoxItems(HWND listBox) {
    std::vector<std::wstring> items;
    int n = static_cast<int>(SendMessageW(listBox, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        int len = static_cast<int>(SendMessageW(listBox, LB_GETTEXTLEN, i, 0));
        if (len < 0) break; // the list was refilled while we read it
        std::wstring s(static_cast<size_t>(len) + 1, L'\0');
        SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(s.data()));
        s.resize(static_cast<size_t>(len));
        items.push_back(s);
    }
    return items;
}

std::vector<std::vector<std::wstring>> ListViewRows(HWND listView, int columns) {
    std::vector<std::vector<std::wstring>> rows;
    DWORD pid = PidOf(listView);
    platform::UniqueHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!process) return rows;
    // The item record and its text buffer live in the program's memory, where the list writes.
    constexpr size_t TextChars = 1024;
    void* remote = VirtualAllocEx(process.get(), nullptr, sizeof(LVITEMW) + TextChars * sizeof(wchar_t),
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return rows;
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
    int n = static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        std::vector<std::wstring> row;
        for (int c = 0; c < columns; ++c) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iSubItem = c;
            item.pszText = remoteText;
            item.cchTextMax = TextChars;
            WriteProcessMemory(process.get(), remote, &item, sizeof item, nullptr);
            int length = static_cast<int>(
                SendMessageW(listView, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(remote)));
            std::wstring text(static_cast<size_t>(std::max(length, 0)), L'\0');
            if (length > 0)
                ReadProcessMemory(process.get(), remoteText, text.data(), text.size() * sizeof(wchar_t),
                                  nullptr);
            row.push_back(text);
        }
        rows.push_back(row);
    }
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return rows;
}

void SelectListViewRows(HWND listView, const std::vector<int>& indexes) {
    platform::UniqueHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, PidOf(listView)));
    if (!process) return;
    void* remote =
        VirtualAllocEx(process.get(), nullptr, sizeof(LVITEMW), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return;
    auto set = [&](int index, UINT state) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = state;
        WriteProcessMemory(process.get(), remote, &item, sizeof item, nullptr);
        SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(remote));
    };
    set(-1, 0);
    for (size_t i = 0; i < indexes.size(); ++i)
        set(indexes[i], LVIS_SELECTED | (i == 0 ? LVIS_FOCUSED : 0));
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
}

bool HasTrayIcon(HWND window) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = window;
    nid.uID = 0;
    nid.uFlags = 0;
    return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

std::vector<HWND> AllMainWindows() {
    return TopLevelWindows(0, L"TavolinMainWindow");
}

HWND Focused(HWND top) {
    GUITHREADINFO info{sizeof info};
    return GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool PressUntil(HWND top, const std::vector<WORD>& keys, const std::function<bool()>& done, int times) {
    // Keys from another process arrive with their modifiers only at the foreground window.
    SetForegroundWindow(top);
    if (!WaitFor([&] { return GetForegroundWindow() == top; }, 5000)) return false;
    for (int i = 0; i < times && !done(); ++i) {
        HWND before = Focused(top);
        test::PressKeys(keys);
        WaitFor([&] { return done() || Focused(top) != before; }, 3000);
    }
    return WaitFor(done, 3000);
}

} // namespace e2e
