#include "app/form_main.h"
#include "app/single_instance.h"
#include "desktop/desktop_icons.h"
#include "web/form_wb.h"

#include <commctrl.h>
#include <ole2.h>

namespace {

// Test hook: with TAVOLIN_TEST_CRASH=1 in its environment the program dies of an access violation
// right after start-up, so that the tests can watch a crash give the desktop icons back.
void CrashWhenTestsAsk() {
    wchar_t value[2] = L"";
    if (GetEnvironmentVariableW(L"TAVOLIN_TEST_CRASH", value, 2) == 1 && value[0] == L'1')
        RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    desktop::InstallCrashGuard();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    // Apartment-threaded COM with OLE on top: drag and drop and the clipboard's data objects need it.
    OleInitialize(nullptr);

    app::InstanceGuard guard;
    bool earlier = guard.EarlierCopyRunning();
    int result = 1;
    {
        app::FormMain form(earlier);
        if (form.Create()) {
            CrashWhenTestsAsk();
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (web::FormWBTranslate(msg)) continue;
                if (form.TranslateKeys(msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            result = static_cast<int>(msg.wParam);
        }
        // The web window holds COM objects: it goes while COM is still up.
        web::CloseFormWB();
    }
    OleUninitialize();
    return result;
}
