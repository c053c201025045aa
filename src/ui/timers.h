// The main window's timers, by the names the program uses for them.
#pragma once
#include <cstdint>

namespace ui {

enum TimerId : uintptr_t { Timer1 = 1, TimerKT = 2, TimerOut = 3, tmrFlashMe = 4 };

} // namespace ui
