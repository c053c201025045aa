// The notification-area icon and the window procedure that answers its mouse messages.
#pragma once
#include "platform/win.h"

#include <string>

namespace app {

inline constexpr UINT TRAY_CALLBACK_MESSAGE = WM_USER + 1001; // 0x7E9

// Puts the icon of `window` into the notification area and stands TrayWindowProc in front
// of the window's procedure; `menu` is shown on a right click.
bool AddTrayIcon(HWND window, HMENU menu);
bool SetTrayTip(const std::wstring& tip);
// The program's name, then each line that is not empty, one below the other.
bool SetTrayTipLines(const std::wstring (&lines)[3]);
// The tip the icon shows.
std::wstring TrayTip();
// Deletes the icon and gives the window back the procedure it had before AddTrayIcon.
void RemoveTrayIcon();
// Adds the icon again (with its tip) after the taskbar was re-created.
bool RestoreTrayIcon();

LRESULT CALLBACK TrayWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Makes the main window visible in the normal state and brings it to the front.
void ShowMainWindow(HWND window);

} // namespace app
