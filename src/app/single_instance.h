// One running copy per user session: a named mutex tells whether an earlier copy runs, and a
// hidden window of our own class carries the application title so that a later copy can ask it to end.
#pragma once
#include "platform/window.h"

#include <string>

namespace app {

// Posted to the main window when a later copy asks this one to end.
inline constexpr UINT WM_APP_EXIT_REQUEST = WM_APP + 1;
inline constexpr wchar_t TitleWindowClass[] = L"TavolinInstanceWindow";

class InstanceGuard {
  public:
    // Claims the session's instance mutex; true when another copy already held it.
    bool EarlierCopyRunning();

  private:
    platform::UniqueHandle mutex_;
};

// The hidden top-level window that carries `ApplicationTitle`; a WM_CLOSE sent to it is passed
// to `mainWindow` as WM_APP_EXIT_REQUEST.
class TitleWindow : public platform::Window {
  public:
    bool Create(HWND mainWindow, const std::wstring& title);

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    HWND main_ = nullptr;
};

// Asks the earlier copy's title window to close and waits (up to `waitMs`) for that copy to end.
// Shows "发送消息错误." when the request cannot be posted and the title followed by "窗口不存在"
// when no such window exists. Start-up goes on in every case.
void ReplaceEarlierInstance(HWND mainWindow, const std::wstring& title, DWORD waitMs = 5000);

} // namespace app
