// The shell's desktop icon view: finding, hiding and showing it.
#pragma once
#include "platform/win.h"

namespace desktop {

// The icon view ("SHELLDLL_DefView") under "Progman", under a "WorkerW" child of "Progman"
// (recent Windows 11), or under a top-level "WorkerW" (Windows 10 with a wallpaper slideshow);
// null when there is none.
HWND FindDesktopView();
// Hide or show the view; nothing happens when none is found.
HWND HideDesktopIcons();
HWND ShowDesktopIcons();

// Installs last-chance handlers that show the desktop icons again before the process dies of a crash.
void InstallCrashGuard();

} // namespace desktop
