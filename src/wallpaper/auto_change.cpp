#include "wallpaper/auto_change.h"

#include "app/form_main.h"
#include "desktop/desktop_icons.h"
#include "res/resource.h"

#include <commctrl.h>

namespace app {
using namespace ui;

std::wstring AutoChange::Command4Caption() const {
    return platform::GetText(form_.pictures.Command4);
}

std::wstring AutoChange::TrayItemCaption() const {
    wchar_t text[64] = L"";
    GetMenuStringW(form_.menu托盘, ID_menu自动更换壁纸, text, ARRAYSIZE(text), MF_BYCOMMAND);
    return text;
}

void AutoChange::SetCaptions(bool running) {
    ModifyMenuW(form_.menu托盘, ID_menu自动更换壁纸, MF_BYCOMMAND | MF_STRING, ID_menu自动更换壁纸,
                running ? TrayItemRunning : TrayItemIdle);
    SetWindowTextW(form_.pictures.Command4, running ? Command4Running : Command4Idle);
}

// The desktop is cleared for the wallpaper: icons hidden, every window minimised, ours hidden.
void AutoChange::Start() {
    form_.menu隐藏桌面图标_Click();
    desktop::SendShowDesktopKeys();
    ShowWindow(form_.hwnd(), SW_HIDE);
    form_.SetTimerEnabled(Timer1, true);
}

// The desktop icons stay as they are.
void AutoChange::Stop() {
    form_.SetTimerEnabled(Timer1, false);
    SetCaptions(false);
}

void AutoChange::Command4_Click() {
    if (Command4Caption() != Command4Idle) return Stop();
    form_.menu设置_Click();
    if (!IsWindow(form_.hwnd())) return; // the program ended while the dialog was open
    SetCaptions(true);
    form_.SetTimerEnabled(TimerKT, false);
    Start();
}

void AutoChange::menu自动更换壁纸_Click() {
    if (TrayItemCaption() != TrayItemIdle) return Stop();
    SetCaptions(true);
    Start();
}

void AutoChange::Timer1_Timer() {
    if (!WallpaperTickCount.Tick(form_.AppSettings.WallpaperInterval)) return;
    SetCaptions(true);
    PicturePage& list = form_.pictures;
    std::optional<int> next = wallpaper::NextIndex(list.ListIndex(), list.ListCount());
    if (!next) return;
    list.SetListIndex(*next);
    // A picture that cannot be set is passed over quietly: the next interval tries the next one.
    form_.设置墙纸();
}

void AutoChange::menu循环看图_Click() {
    form_.SetTimerEnabled(Timer1, false);
    form_.SetTimerEnabled(TimerKT, true);
}

void AutoChange::menu停止_Click() {
    form_.SetTimerEnabled(TimerKT, false);
}

void AutoChange::TimerKT_Timer() {
    HWND main = form_.hwnd();
    if (TabCtrl_GetCurSel(form_.SSTab1) != 1 || !IsWindowVisible(main) || IsIconic(main))
        return menu停止_Click();
    if (!SlideshowTickCount.Tick(form_.AppSettings.SlideshowInterval)) return;
    PicturePage& list = form_.pictures;
    if (std::optional<int> next = wallpaper::NextIndex(list.ListIndex(), list.ListCount()))
        list.SetListIndex(*next);
}

} // namespace app
