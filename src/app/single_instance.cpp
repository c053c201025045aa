#include "app/single_instance.h"

#include "platform/win.h"

namespace app {

bool InstanceGuard::EarlierCopyRunning() {
    mutex_.reset(CreateMutexW(nullptr, FALSE, L"Local\\Tavolin(Quorvel).Instance"));
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

bool TitleWindow::Create(HWND mainWindow, const std::wstring& title) {
    main_ = mainWindow;
    RegisterClass(TitleWindowClass, nullptr, nullptr);
    return Window::Create(TitleWindowClass, title.c_str(), WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr,
                          nullptr);
}

LRESULT TitleWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        PostMessageW(main_, WM_APP_EXIT_REQUEST, 0, 0);
        return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

void ReplaceEarlierInstance(HWND mainWindow, const std::wstring& title, DWORD waitMs) {
    // Our own caption is blanked during the search so that this copy can never find itself.
    std::wstring caption = platform::GetText(mainWindow);
    SetWindowTextW(mainWindow, L"");
    HWND earlier = FindWindowW(TitleWindowClass, title.c_str());
    if (earlier) {
        DWORD pid = 0;
        GetWindowThreadProcessId(earlier, &pid);
        platform::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
        if (!PostMessageW(earlier, WM_CLOSE, 0, 0)) {
            platform::Message(mainWindow, L"发送消息错误.", MB_OK);
        } else if (process) {
            WaitForSingleObject(process.get(), waitMs);
        }
    } else {
        platform::Message(mainWindow, title + L"窗口不存在", MB_OK);
    }
    SetWindowTextW(mainWindow, caption.c_str());
}

} // namespace app
