#include "tests/support/user_input.h"

#include <oleacc.h>
#include <process.h>
#include <vector>

namespace test {

void PressKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> input;
    for (int up = 0; up < 2; ++up)
        for (size_t i = 0; i < keys.size(); ++i) {
            WORD vk = keys[up ? keys.size() - 1 - i : i];
            INPUT in{INPUT_KEYBOARD};
            in.ki.wVk = vk;
            in.ki.dwFlags =
                (up ? KEYEVENTF_KEYUP : 0) | (vk == VK_LEFT || vk == VK_DELETE ? KEYEVENTF_EXTENDEDKEY : 0);
            input.push_back(in);
        }
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

bool Pump(HWND top, DWORD ms, const std::function<bool()>& done, const std::function<bool(MSG&)>& translate) {
    for (ULONGLONG end = GetTickCount64() + ms; !done() && GetTickCount64() < end; Sleep(10))
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
            if (!(translate ? translate(msg) : IsDialogMessageW(top, &msg)))
                TranslateMessage(&msg), DispatchMessageW(&msg);
    return done();
}

void PressKeysAndPump(HWND top, const std::vector<WORD>& keys) {
    PressKeys(keys);
    Pump(top, 300, [] { return false; });
}

void ClickAt(POINT screen) {
    // The pointer settles first: a press arriving where it was before starts a drag, not a click.
    INPUT in[3] = {{INPUT_MOUSE}, {INPUT_MOUSE}, {INPUT_MOUSE}};
    in[0].mi = {MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1),
                MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1), 0,
                MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE};
    SendInput(1, in, sizeof(INPUT));
    SetCursorPos(screen.x, screen.y);
    Sleep(200);
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in + 1, sizeof(INPUT));
}

std::wstring AccessibleName(HWND control) {
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&acc))))
        return {};
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring text = SUCCEEDED(acc->get_accName(self, &name)) && name ? name : L"";
    SysFreeString(name);
    acc->Release();
    return text;
}

int MenuWatch::seen = 0;

MenuWatch::MenuWatch() {
    seen = 0;
    // The timer's turn comes inside the menu's own loop.
    timer_ = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (menu && IsWindowVisible(menu)) ++seen, EndMenu();
    });
}

MenuWatch::~MenuWatch() {
    KillTimer(nullptr, timer_);
}

DWORD PasteElsewhere(const std::wstring& folder) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring peer = exe;
    peer = peer.substr(0, peer.rfind(L'\\')) + L"\\clip_peer.exe";
    return static_cast<DWORD>(
        _wspawnl(_P_WAIT, peer.c_str(), L"clip_peer", (L"\"" + folder + L"\"").c_str(), nullptr));
}

} // namespace test
