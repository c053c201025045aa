// The shell's desktop icon view: finding, hiding and showing it; the show-desktop keys.
#pragma once
#include "platform/win.h"

namespace desktop {

// The icon view ("SHELLDLL_DefView") under "Progman", under a "WorkerW" child of "Progman"
// (recent Windows 11), or under a top-level "WorkerW" (Windows 10 once the shell has split its
// desktop for a wallpaper animation); null when there is none.
HWND FindDesktopView();
// Hide or show the view and return it; nothing happens when none is found.
HWND HideDesktopIcons();
HWND ShowDesktopIcons();

// Sends Windows+M, which minimises all top-level windows.
void SendShowDesktopKeys();

// Installs last-chance handlers that show the desktop icons again before the process dies of a crash.
void InstallCrashGuard();

} // namespace desktop
