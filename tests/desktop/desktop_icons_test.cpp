// Finding, hiding and showing the desktop icon view in each layout of the shell's windows, and the
// crash guard that gives the icons back when the process dies.
#include "desktop/desktop_icons.h"

#include "tests/support/fake_desktop.h"
#include "tests/support/no_crash_dialog.h"

#include <gtest/gtest.h>

#include <string>

using test::FakeDesktop;

namespace {

constexpr wchar_t CrashChildVariable[] = L"TAVOLIN_CRASH_GUARD_CHILD";

class EachLayout : public testing::TestWithParam<FakeDesktop::Layout> {};

std::wstring SelfPath() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return self;
}

} // namespace

TEST(DesktopIcons, NoShellWindowsIsNoError) {
    ASSERT_FALSE(FindWindowW(L"Progman", nullptr));
    EXPECT_EQ(desktop::FindDesktopView(), nullptr);
    EXPECT_EQ(desktop::HideDesktopIcons(), nullptr);
    EXPECT_EQ(desktop::ShowDesktopIcons(), nullptr);
}

TEST_P(EachLayout, HideAndShowAreIdempotent) {
    FakeDesktop shell(GetParam());
    ASSERT_EQ(desktop::FindDesktopView(), shell.view());
    ASSERT_TRUE(shell.ViewVisible());

    EXPECT_EQ(desktop::HideDesktopIcons(), shell.view());
    EXPECT_FALSE(shell.ViewVisible());
    desktop::HideDesktopIcons();
    EXPECT_FALSE(shell.ViewVisible());
    // Still found while hidden: the search never depends on visibility.
    EXPECT_EQ(desktop::ShowDesktopIcons(), shell.view());
    EXPECT_TRUE(shell.ViewVisible());
    desktop::ShowDesktopIcons();
    EXPECT_TRUE(shell.ViewVisible());
    EXPECT_EQ(shell.Hides(), 1);
    EXPECT_EQ(shell.Shows(), 1);
}

INSTANTIATE_TEST_SUITE_P(Layouts, EachLayout,
                         testing::Values(FakeDesktop::Layout::ViewUnderProgman,
                                         FakeDesktop::Layout::ViewUnderWorkerWChild,
                                         FakeDesktop::Layout::ViewUnderTopLevelWorkerW));

// Run in a child process (see below): installs the guard and dies of an access violation.
TEST(CrashGuardChild, DiesWithTheGuardInstalled) {
    if (!GetEnvironmentVariableW(CrashChildVariable, nullptr, 0)) GTEST_SKIP() << "runs only as a child";
    desktop::InstallCrashGuard();
    RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
}

TEST(CrashGuard, AProcessThatCrashesShowsTheIconsAgain) {
    test::NoCrashDialog quiet;
    FakeDesktop shell(FakeDesktop::Layout::ViewUnderProgman);
    desktop::HideDesktopIcons();
    ASSERT_FALSE(shell.ViewVisible());

    SetEnvironmentVariableW(CrashChildVariable, L"1");
    std::wstring line = L"\"" + SelfPath() + L"\" --gtest_filter=CrashGuardChild.*";
    // The debugger's report goes nowhere.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{sizeof si};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    BOOL started =
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(nul);
    SetEnvironmentVariableW(CrashChildVariable, nullptr);
    ASSERT_TRUE(started);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_NE(code, 0u); // it died, and did not pass

    // The request was queued to the shell's thread; a message sent after it is answered after it.
    SendMessageW(shell.view(), WM_NULL, 0, 0);
    EXPECT_TRUE(shell.ViewVisible());
    EXPECT_EQ(shell.Shows(), 1);
}
