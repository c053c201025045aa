// What the system says about the conditions that pause the automatic change.
#pragma once
#include "platform/win.h"

namespace wallpaper {

// True when a full-screen program or a presentation runs: the shell says so, or the foreground window
// covers the whole of its monitor (a maximised window leaves the taskbar, so it does not). The
// desktop's, the taskbar's and the program's own windows (those of `ours`' process) never count.
bool FullScreenNow(HWND ours);

// True when the machine runs on battery or saves it, as the power status says.
bool OnBattery();
// The power status is read through `read` from now on (GetSystemPowerStatus unless a test stands in).
void UsePowerStatus(BOOL(WINAPI* read)(SYSTEM_POWER_STATUS*));

} // namespace wallpaper
