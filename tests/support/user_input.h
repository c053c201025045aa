// A user's key presses and clicks, through SendInput to the foreground window; and clip_peer.exe.
#pragma once
#include "platform/win.h"

#include <functional>
#include <string>
#include <vector>

namespace test {

// Presses `keys` in order and lets them go in reverse: {VK_CONTROL, 'C'} is Ctrl+C.
void PressKeys(const std::vector<WORD>& keys);
// The program's kind of message loop, with dialog keys for `top` (or the window's own `translate` step),
// until `done` or `ms` pass; then done().
bool Pump(HWND top, DWORD ms, const std::function<bool()>& done,
          const std::function<bool(MSG&)>& translate = {});
// PressKeys, then that loop for a moment so that the keys are handled.
void PressKeysAndPump(HWND top, const std::vector<WORD>& keys);
void ClickAt(POINT screen);
// What assistive programs read as the control's name (MSAA get_accName of its client object).
std::wstring AccessibleName(HWND control);
// Counts the popup menus that open on this thread while it pumps, and closes each at once.
class MenuWatch {
  public:
    MenuWatch();
    ~MenuWatch();
    static int seen;

  private:
    UINT_PTR timer_;
};
// Runs clip_peer.exe (beside the test) pasting into `folder`, as Explorer does; its exit code.
DWORD PasteElsewhere(const std::wstring& folder);

} // namespace test
