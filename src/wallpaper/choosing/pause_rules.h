// When the automatic change pauses, and what the tray's tip says then. No Windows headers here.
#pragma once
#include <string>

namespace wallpaper {

enum class PauseReason { None, Locked, FullScreen, Battery };

// What holds now.
struct PauseConditions {
    bool locked = false;     // the session is locked or the display is off
    bool fullScreen = false; // a full-screen program or a presentation runs
    bool onBattery = false;  // the machine runs on battery, or saves it
};
// Which of them the user lets pause the change.
struct PauseChoices {
    bool locked = true, fullScreen = true, battery = false;
};

// The condition that pauses the change now, the first of those that hold in the order above.
PauseReason PauseFor(const PauseChoices& choices, const PauseConditions& now);

// The tip's second line while the change pauses ("自动更换已暂停：全屏程序"); empty when it runs.
std::wstring PauseTip(PauseReason reason);

} // namespace wallpaper
