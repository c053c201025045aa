// A user's key presses and clicks, through SendInput to the foreground window; and clip_peer.exe.
#pragma once
#include "platform/win.h"

#include <initializer_list>
#include <string>

namespace test {

// Presses `keys` in order and lets them go in reverse: {VK_CONTROL, 'C'} is Ctrl+C.
void PressKeys(std::initializer_list<WORD> keys);
void ClickAt(POINT screen);
// Runs clip_peer.exe (beside the test) pasting into `folder`, as Explorer does; its exit code.
DWORD PasteElsewhere(const std::wstring& folder);

} // namespace test
