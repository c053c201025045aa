// The installer as a user meets it: a silent install into a folder of the test's own, the program
// started from its Start-menu shortcut, a silent install over the running copy, and a silent
// uninstall with the options dialog's entries in place. TAVOLIN_SETUP names the installer that
// scripts/package made; tests/install/run.sh sets it.
#include "core/identity.h"
#include "core/places.h"
#include "res/version.h"
#include "settings/form_option.h"
#include "settings/registry.h"
#include "settings/settings_store.h"
#include "tests/e2e/driver.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/temp_folder.h"
#include "tests/support/user_input.h"

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windowsx.h>
#include <wrl/client.h>

using settings::FormOption;
using settings::SystemKeys;
using test::FakeDesktop;

namespace {

const std::wstring Title = core::ApplicationTitle;
const std::wstring Class = L"Quorvel";
const std::wstring Classes = L"Software\\Classes\\";
constexpr wchar_t EntryKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavolin";

std::wstring Read(HKEY root, const std::wstring& key, const std::wstring& name = L"") {
    return settings::GetRegistryString(root, key, name, L"<none>");
}

bool KeyExists(HKEY root, const std::wstring& key) {
    platform::UniqueKey k;
    return RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, k.put()) == ERROR_SUCCESS;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FileBytes(const std::wstring& path) {
    platform::UniqueHandle h(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    if (!h) return bytes;
    char buffer[65536];
    DWORD n = 0;
    while (ReadFile(h.get(), buffer, sizeof buffer, &n, nullptr) && n > 0)
        bytes.append(buffer, n);
    return bytes;
}

std::wstring BinFolder() {
    wchar_t self[MAX_PATH * 2];
    GetModuleFileNameW(nullptr, self, ARRAYSIZE(self));
    std::wstring s = self;
    return s.substr(0, s.rfind(L'\\'));
}

std::wstring ProgramsFolder() {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// The program a shortcut starts.
std::wstring ShortcutTarget(const std::wstring& lnk) {
    Microsoft::WRL::ComPtr<IShellLinkW> link;
    Microsoft::WRL::ComPtr<IPersistFile> file;
    wchar_t target[MAX_PATH * 2] = L"";
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
        SUCCEEDED(link.As(&file)) && SUCCEEDED(file->Load(lnk.c_str(), STGM_READ)))
        link->GetPath(target, ARRAYSIZE(target), nullptr, SLGP_RAWPATH);
    return target;
}

// Runs a command line and waits until it and every process it started have ended (the uninstaller
// hands its work to a copy of itself and ends at once). The first process's exit code, or -1.
long RunAndWait(std::wstring line, DWORD timeoutMs = 60000) {
    platform::UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!job || !CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                nullptr, &si, &pi))
        return -1;
    platform::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    AssignProcessToJobObject(job.get(), process.get());
    ResumeThread(thread.get());
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) return -1;
    GetExitCodeProcess(process.get(), &code);
    bool allEnded = e2e::WaitFor(
        [&] {
            JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
            return QueryInformationJobObject(job.get(), JobObjectBasicAccountingInformation, &info,
                                             sizeof info, nullptr) &&
                   info.ActiveProcesses == 0;
        },
        timeoutMs);
    return allEnded ? static_cast<long>(code) : -1;
}

// A running copy of the program, found by its hidden title window; `main` once it shows.
struct RunningCopy {
    platform::UniqueHandle process;
    HWND main = nullptr;
    bool Ended(DWORD ms = 0) const { return WaitForSingleObject(process.get(), ms) == WAIT_OBJECT_0; }
};

// Starts the program from its shortcut as a user does and waits until start-up is over: its main
// window shown, its tray icon in place, and the program waiting for input.
RunningCopy StartFromShortcut(const std::wstring& lnk) {
    RunningCopy copy;
    SHELLEXECUTEINFOW sei{sizeof sei};
    sei.lpFile = lnk.c_str();
    sei.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&sei)) return copy;
    HWND title = nullptr;
    e2e::WaitFor([&] { return (title = FindWindowW(L"TavolinInstanceWindow", Title.c_str())) != nullptr; },
                 15000);
    if (!title) return copy;
    DWORD pid = 0;
    GetWindowThreadProcessId(title, &pid);
    copy.process.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid));
    HWND main = nullptr;
    e2e::WaitFor(
        [&] {
            auto windows = e2e::TopLevelWindows(pid, L"TavolinMainWindow");
            main = windows.empty() ? nullptr : windows.front();
            return main && IsWindowVisible(main) && e2e::HasTrayIcon(main);
        },
        15000);
    if (main && IsWindowVisible(main) && WaitForInputIdle(copy.process.get(), 15000) == 0) copy.main = main;
    return copy;
}

// A registry value that the test changes; put back afterwards.
class Saved {
  public:
    Saved(HKEY root, std::wstring key, std::wstring name = L"")
        : root_(root), key_(std::move(key)), name_(std::move(name)), value_(Read(root_, key_, name_)) {}
    ~Saved() {
        if (value_ == L"<none>")
            settings::DeleteRegistryValue(root_, key_, name_);
        else
            settings::SetRegistryString(root_, key_, name_, value_);
    }

  private:
    HKEY root_;
    std::wstring key_, name_, value_;
};

// A key that can no longer be written: opened, then deleted under the open handle. It stands for
// the machine's keys where a user without administrator rights may not write.
class GoneKey {
  public:
    GoneKey() {
        std::wstring path = L"Software\\TavolinTest\\gone-" + std::to_wstring(GetCurrentProcessId());
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.put(),
                        nullptr);
        RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
    }
    HKEY get() const { return key_.get(); }

  private:
    platform::UniqueKey key_;
};

class Installer : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t path[MAX_PATH * 2] = L"";
        GetEnvironmentVariableW(L"TAVOLIN_SETUP", path, ARRAYSIZE(path));
        setup = path;
        ASSERT_TRUE(FileExists(setup)) << "TAVOLIN_SETUP names no installer; tests/install/run.sh sets it";
        ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, EntryKey)) << "Tavolin is installed in this prefix already";
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override {
        // Whatever a failed step left behind.
        if (HWND title = FindWindowW(L"TavolinInstanceWindow", Title.c_str()))
            PostMessageW(title, WM_CLOSE, 0, 0);
        e2e::WaitFor([] { return !FindWindowW(L"TavolinInstanceWindow", Title.c_str()); }, 10000);
        DeleteFileW(shortcut.c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, EntryKey);
        RegDeleteKeyW(HKEY_CURRENT_USER, EntryKey);
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            RegDeleteTreeW(root, (Classes + Class).c_str());
            RegDeleteKeyW(root, (Classes + Class).c_str());
        }
        const std::wstring store = L"Software\\Tavolin\\" + dir;
        RegDeleteTreeW(HKEY_CURRENT_USER, store.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, store.c_str());
        CoUninitialize();
    }

    // "/D=" takes the rest of the command line, blanks and all, unquoted.
    long Install() { return RunAndWait(L"\"" + setup + L"\" /S /D=" + dir); }
    long Uninstall() { return RunAndWait(Read(HKEY_CURRENT_USER, EntryKey, L"QuietUninstallString")); }

    // The options dialog of the copy in `folder`, confirmed with starting at log-on and the
    // association ticked, where the machine's keys may be written and where they may not.
    void TickRunEntryAndAssociation(const std::wstring& folder) {
        settings::AppSettings app{5, 3, 0, L""};
        GoneKey machine, classes;
        for (SystemKeys keys : {SystemKeys{}, SystemKeys{machine.get(), classes.get()}}) {
            FormOption dialog(app, folder, Class, keys);
            dialog.ShowModeless(nullptr);
            Button_SetCheck(dialog.Check1, BST_CHECKED);
            Button_SetCheck(dialog.Check3, BST_CHECKED);
            test::Press(dialog.Command1);
        }
    }

    std::wstring setup;
    test::TempFolder folder{L"Tavolin 安装"};
    const std::wstring dir = folder.path();
    const std::wstring exe = dir + L"\\Quorvel.exe";
    const std::wstring shortcut = ProgramsFolder() + L"\\Tavolin.lnk";
    Saved runMachine{HKEY_LOCAL_MACHINE, settings::RunKey, Title};
    Saved runUser{HKEY_CURRENT_USER, settings::RunKey, Title};
    Saved jpg{HKEY_LOCAL_MACHINE, Classes + L".jpg"}, bmp{HKEY_LOCAL_MACHINE, Classes + L".bmp"};
    Saved userJpg{HKEY_CURRENT_USER, Classes + L".jpg"}, userBmp{HKEY_CURRENT_USER, Classes + L".bmp"};
    Saved check3{HKEY_CURRENT_USER, settings::StoreKey(Title, settings::SectionAssociation),
                 settings::KeyCheck3};
};

} // namespace

TEST_F(Installer, InstallsRunsIsReplacedWhileRunningAndUninstallsCleanly) {
    FakeDesktop shell(FakeDesktop::Layout::ViewUnderProgman);

    // A silent install puts the files, the shortcut and the installed-programs entry in place.
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Install(), 0);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("silent install: %lld ms\n", static_cast<long long>(ms.count()));
    const std::string built = FileBytes(BinFolder() + L"\\Quorvel.exe");
    ASSERT_FALSE(built.empty());
    EXPECT_EQ(FileBytes(exe), built);
    EXPECT_EQ(FileBytes(dir + L"\\Quorvel.htm"), FileBytes(BinFolder() + L"\\Quorvel.htm"));
    EXPECT_TRUE(FileExists(dir + L"\\uninstall.exe"));
    EXPECT_EQ(ShortcutTarget(shortcut), exe);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, EntryKey, L"DisplayName"), L"Tavolin 桌面助手");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, EntryKey, L"DisplayVersion"), L"" TAVOLIN_VERSION_TEXT);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, EntryKey, L"Publisher"), L"Tavolin");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, EntryKey, L"DisplayIcon"), exe + L",0");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, EntryKey, L"InstallLocation"), dir);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, EntryKey, L"UninstallString"), L"\"" + dir + L"\\uninstall.exe\"");
    DWORD sizeKb = 0, bytes = sizeof sizeKb;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, EntryKey, L"EstimatedSize", RRF_RT_REG_DWORD, nullptr, &sizeKb,
                           &bytes),
              ERROR_SUCCESS);
    EXPECT_GE(sizeKb, built.size() / 1024);
    EXPECT_LE(sizeKb, built.size() / 1024 + 64);

    // The installed program starts from the Start menu and shows its window; it hides the icon view.
    RunningCopy first = StartFromShortcut(shortcut);
    ASSERT_TRUE(first.main) << "the installed program showed no window";
    EXPECT_FALSE(shell.ViewVisible());

    // The user's pictures and settings, and an older help page in place of the new one.
    const std::wstring pictures = dir + L"\\Tavolin壁纸";
    CreateDirectoryW(pictures.c_str(), nullptr);
    test::TempFolder::Write(pictures + L"\\海边.jpg", "a picture of the user's");
    settings::SaveSetting(dir, settings::SectionSettings, settings::KeyWallpaperInterval, L"42");
    test::TempFolder::Write(dir + L"\\Quorvel.htm", "an earlier version's page");

    // Installing over the running copy ends it through its own exit path: the icons come back.
    ASSERT_EQ(Install(), 0);
    EXPECT_TRUE(first.Ended());
    EXPECT_TRUE(shell.ViewVisible());
    EXPECT_EQ(shell.Shows(), 1);
    EXPECT_EQ(FileBytes(exe), built);
    EXPECT_EQ(FileBytes(dir + L"\\Quorvel.htm"), FileBytes(BinFolder() + L"\\Quorvel.htm"));
    EXPECT_EQ(FileBytes(pictures + L"\\海边.jpg"), "a picture of the user's");
    EXPECT_EQ(settings::GetSetting(dir, settings::SectionSettings, settings::KeyWallpaperInterval, L""),
              L"42");

    // The program runs again with its Run entry and association, in the machine's keys and the user's.
    RunningCopy second = StartFromShortcut(shortcut);
    ASSERT_TRUE(second.main);
    TickRunEntryAndAssociation(dir);
    const std::wstring quoted = L"\"" + exe + L"\"";
    ASSERT_EQ(Read(HKEY_LOCAL_MACHINE, settings::RunKey, Title), quoted);
    ASSERT_EQ(Read(HKEY_CURRENT_USER, settings::RunKey, Title), quoted);
    ASSERT_EQ(Read(HKEY_LOCAL_MACHINE, Classes + L".jpg"), Class);
    ASSERT_EQ(Read(HKEY_CURRENT_USER, Classes + L".jpg"), Class);
    // Meanwhile another program took ".bmp".
    settings::SetRegistryString(HKEY_LOCAL_MACHINE, Classes + L".bmp", L"", L"OtherViewer.bmp");
    settings::SetRegistryString(HKEY_CURRENT_USER, Classes + L".bmp", L"", L"OtherViewer.bmp");

    // The desktop shows a wallpaper from the user's own folder, next to an interrupted write's leftover.
    const std::wstring wallpaper = core::UserProgramFolder() + L"\\Vesmar.bmp";
    ASSERT_TRUE(core::CreateFolders(core::UserProgramFolder()));
    test::TempFolder::Write(wallpaper, "the desktop's wallpaper");
    test::TempFolder::Write(wallpaper + L".7-1.tmp", "half a bitmap");
    settings::SetRegistryString(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", wallpaper);

    // A silent uninstall ends the running copy the same way and removes everything of this copy's.
    ASSERT_EQ(Uninstall(), 0);
    EXPECT_TRUE(second.Ended());
    EXPECT_TRUE(shell.ViewVisible());
    EXPECT_EQ(shell.Shows(), 2);
    EXPECT_FALSE(FileExists(exe));
    EXPECT_FALSE(FileExists(dir + L"\\Quorvel.htm"));
    EXPECT_FALSE(FileExists(dir + L"\\uninstall.exe"));
    EXPECT_FALSE(FileExists(shortcut));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, EntryKey));
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, settings::RunKey, Title), L"<none>");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, settings::RunKey, Title), L"<none>");
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_EQ(Read(root, Classes + L".jpg"), L"<none>");
        EXPECT_EQ(Read(root, Classes + L".bmp"), L"OtherViewer.bmp");
        EXPECT_FALSE(KeyExists(root, Classes + Class));
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Tavolin\\" + dir));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Tavolin\\" + Title));
    // The user's pictures are only removed on request, never in a silent uninstall.
    EXPECT_EQ(FileBytes(pictures + L"\\海边.jpg"), "a picture of the user's");
    // Windows shows the wallpaper's file again at the next sign-in: it stays.
    EXPECT_EQ(FileBytes(wallpaper), "the desktop's wallpaper");
    EXPECT_FALSE(FileExists(wallpaper + L".7-1.tmp"));
    DeleteFileW(wallpaper.c_str());
}

TEST_F(Installer, ACopyRunningFromAnotherFolderAndItsEntriesAreLeftAlone) {
    e2e::ProgramFolder elsewhere;
    e2e::Program other(elsewhere);
    ASSERT_TRUE(other.WaitUntilStarted());
    TickRunEntryAndAssociation(elsewhere.path());

    ASSERT_EQ(Install(), 0);
    EXPECT_TRUE(other.Running());
    EXPECT_TRUE(FileExists(exe));
    ASSERT_EQ(Uninstall(), 0);
    EXPECT_TRUE(other.Running());
    EXPECT_FALSE(FileExists(exe));
    const std::wstring quoted = L"\"" + elsewhere.exe() + L"\"";
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, settings::RunKey, Title), quoted);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, settings::RunKey, Title), quoted);
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_EQ(Read(root, Classes + L".jpg"), Class);
        EXPECT_EQ(Read(root, Classes + Class + L"\\shell\\play\\command"), quoted + L" \"%1\"");
    }
    EXPECT_EQ(settings::GetSetting(Title, settings::SectionAssociation, settings::KeyCheck3, L""), L"1");
    EXPECT_EQ(elsewhere.Stored(settings::KeyWallpaperInterval), L"5");
    ASSERT_TRUE(other.Quit());
}
