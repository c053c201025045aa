#include "wallpaper/auto_change.h"

#include "res/resource.h"
#include "wallpaper/picture_page.h"

namespace wallpaper {

using ui::Timer1;
using ui::TimerKT;

std::wstring AutoChange::Command4Caption() const { return platform::GetText(pictures_.Command4); }

std::wstring AutoChange::TrayItemCaption() const {
    wchar_t text[64] = L"";
    GetMenuStringW(host_.TrayMenu(), ID_menu自动更换壁纸, text, ARRAYSIZE(text), MF_BYCOMMAND);
    return text;
}

void AutoChange::SetCaptions(bool running) {
    ModifyMenuW(host_.TrayMenu(), ID_menu自动更换壁纸, MF_BYCOMMAND | MF_STRING, ID_menu自动更换壁纸,
                running ? TrayItemRunning : TrayItemIdle);
    SetWindowTextW(pictures_.Command4, running ? Command4Running : Command4Idle);
}

void AutoChange::Start() {
    host_.ClearDesktop();
    host_.SetTimerEnabled(Timer1, true);
}

// The desktop icons stay as they are.
void AutoChange::Stop() {
    host_.SetTimerEnabled(Timer1, false);
    SetCaptions(false);
}

void AutoChange::Command4_Click() {
    if (Command4Caption() != Command4Idle) return Stop();
    if (!host_.ShowOptions()) return; // the program ended while the dialog was open
    SetCaptions(true);
    host_.SetTimerEnabled(TimerKT, false);
    Start();
}

void AutoChange::menu自动更换壁纸_Click() {
    if (TrayItemCaption() != TrayItemIdle) return Stop();
    SetCaptions(true);
    Start();
}

void AutoChange::Timer1_Timer() {
    if (!WallpaperTickCount.Tick(settings_.WallpaperInterval)) return;
    SetCaptions(true);
    // A change due during a pause sets nothing, and the count starts again: when the pause ends the
    // next change comes within one interval, never as a burst.
    const PauseReason pause =
        PauseFor({settings_.PauseLocked, settings_.PauseFullScreen, settings_.PauseBattery},
                 host_.PauseConditionsNow());
    host_.ShowPause(pause);
    if (pause == PauseReason::None) NextWallpaper();
}

void AutoChange::NextWallpaper() {
    Turn turn = order_.Next(pictures_.Names(), pictures_.ListIndex(), settings_.Shuffle);
    if (turn.selection < 0) return;
    pictures_.SetListIndex(turn.selection, true);
    // The set waits for that picture's decode. A picture that cannot be set is passed over quietly:
    // the next interval tries the next one.
    host_.设置墙纸();
}

void AutoChange::menu下一张墙纸_Click() {
    WallpaperTickCount.Reset();
    if (!pictures_.GoForward()) NextWallpaper();
}

void AutoChange::menu上一张墙纸_Click() {
    pictures_.GoBack();
}

void AutoChange::menu循环看图_Click() {
    host_.SetTimerEnabled(Timer1, false);
    host_.SetTimerEnabled(TimerKT, true);
}

void AutoChange::menu停止_Click() { host_.SetTimerEnabled(TimerKT, false); }

void AutoChange::TimerKT_Timer() {
    if (!host_.SlideshowCanRun()) return menu停止_Click();
    if (!SlideshowTickCount.Tick(settings_.SlideshowInterval)) return;
    if (std::optional<int> next = NextIndex(pictures_.ListIndex(), pictures_.ListCount()))
        pictures_.SetListIndex(*next, true);
}

} // namespace wallpaper
