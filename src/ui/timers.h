// The main window's timers, by the names the program uses for them.
#pragma once
#include <cstdint>

namespace ui {

enum TimerId : uintptr_t { Timer1 = 1, TimerKT = 2, TimerOut = 3, tmrFlashMe = 4 };

// Start-up's last step: the tabs not on show are built once the window has painted.
inline constexpr uintptr_t TimerBuildPages = 5;
// Once the displays' changes have settled: the monitors' pictures are made again.
inline constexpr uintptr_t TimerDisplays = 6;
// The next sunrise or sunset, when the pictures of the day or the night take over.
inline constexpr uintptr_t TimerPhase = 7;
// The next look for the daily pictures: the next midnight, or a retry after a failed look.
inline constexpr uintptr_t TimerDaily = 8;

} // namespace ui
