#include "app/form_main.h"
#include "app/single_instance.h"
#include "desktop/desktop_icons.h"

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    desktop::InstallCrashGuard();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    app::InstanceGuard guard;
    bool earlier = guard.EarlierCopyRunning();
    int result = 1;
    {
        app::FormMain form(earlier);
        if (form.Create()) {
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (IsDialogMessageW(form.hwnd(), &msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            result = static_cast<int>(msg.wParam);
        }
    }
    CoUninitialize();
    return result;
}
