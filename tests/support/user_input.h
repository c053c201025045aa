// Key presses and mouse clicks as a user's arrive: through SendInput, to the foreground window's focus.
#pragma once
#include "platform/win.h"

#include <initializer_list>
#include <string>

namespace test {

// Presses `keys` in order and lets them go in reverse: {VK_CONTROL, 'C'} is Ctrl+C.
void PressKeys(std::initializer_list<WORD> keys);
// A left click at a point on the screen.
void ClickAt(POINT screen);
// Brings `window` to the front and clicks the first row of a report list view in it (any process),
// which gives the list the focus.
void ClickFirstListRow(HWND window, HWND list);

// Runs clip_peer.exe (beside the test), another program on the clipboard; its exit code.
DWORD RunClipPeer(const std::wstring& arguments);

} // namespace test
