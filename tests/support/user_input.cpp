#include "tests/support/user_input.h"

#include <commctrl.h>
#include <iterator>
#include <vector>

namespace test {

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> input;
    auto add = [&](WORD vk, DWORD flags) {
        INPUT in{INPUT_KEYBOARD};
        in.ki.wVk = vk;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = flags | (vk == VK_LEFT || vk == VK_DELETE ? KEYEVENTF_EXTENDEDKEY : 0);
        input.push_back(in);
    };
    for (WORD k : keys)
        add(k, 0);
    for (auto k = std::rbegin(keys); k != std::rend(keys); ++k)
        add(*k, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

void ClickAt(POINT screen) {
    // The pointer moves there and settles first: a press that arrives where the pointer was starts a
    // drag, not a click.
    INPUT move{INPUT_MOUSE};
    move.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof move);
    SetCursorPos(screen.x, screen.y);
    Sleep(200);
    INPUT in[2] = {{INPUT_MOUSE}, {INPUT_MOUSE}};
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

void ClickFirstListRow(HWND window, HWND list) {
    SetForegroundWindow(window);
    // Just below the header, a few pixels into the first row's name; the list may be another process's.
    RECT header{};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
    POINT p{20, header.bottom - header.top + 8};
    ClientToScreen(list, &p);
    ClickAt(p);
}

DWORD RunClipPeer(const std::wstring& arguments) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring self = exe;
    std::wstring line = L"\"" + self.substr(0, self.rfind(L'\\')) + L"\\clip_peer.exe\" " + arguments;
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 99;
    WaitForSingleObject(pi.hProcess, 20000);
    DWORD code = 98;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

} // namespace test
