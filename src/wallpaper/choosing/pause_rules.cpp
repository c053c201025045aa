#include "wallpaper/choosing/pause_rules.h"

namespace wallpaper {

PauseReason PauseFor(const PauseChoices& choices, const PauseConditions& now) {
    if (choices.locked && now.locked) return PauseReason::Locked;
    if (choices.fullScreen && now.fullScreen) return PauseReason::FullScreen;
    if (choices.battery && now.onBattery) return PauseReason::Battery;
    return PauseReason::None;
}

std::wstring PauseTip(PauseReason reason) {
    switch (reason) {
    case PauseReason::Locked:
        return L"自动更换已暂停：屏幕已锁定或关闭";
    case PauseReason::FullScreen:
        return L"自动更换已暂停：全屏程序";
    case PauseReason::Battery:
        return L"自动更换已暂停：使用电池";
    case PauseReason::None:
        break;
    }
    return {};
}

} // namespace wallpaper
