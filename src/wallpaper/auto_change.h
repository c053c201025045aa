// The two timed modes of the picture tab: the automatic wallpaper change (Timer1) and the slideshow
// (TimerKT). Both step through the picture list; the change also makes each picture the wallpaper.
#pragma once
#include "platform/win.h"
#include "wallpaper/tick_counter.h"

#include <string>

namespace app {

class FormMain;

inline constexpr wchar_t Command4Idle[] = L"自动更换墙纸";
inline constexpr wchar_t Command4Running[] = L"停止更换墙纸";
inline constexpr wchar_t TrayItemIdle[] = L"自动更换壁纸";
inline constexpr wchar_t TrayItemRunning[] = L"停止更换壁纸";

class AutoChange {
  public:
    explicit AutoChange(FormMain& form) : form_(form) {}

    // The button and the tray item each start or stop the change by their own caption; the button
    // shows the options dialog first.
    void Command4_Click();
    void menu自动更换壁纸_Click();
    void Timer1_Timer();
    void menu循环看图_Click();
    void menu停止_Click();
    void Command6_Click() { menu循环看图_Click(); }
    void TimerKT_Timer();

    // The captions, which say whether the change runs.
    std::wstring Command4Caption() const;
    std::wstring TrayItemCaption() const;

    wallpaper::TickCounter WallpaperTickCount, SlideshowTickCount;

  private:
    void SetCaptions(bool running);
    void Start();
    void Stop();

    FormMain& form_;
};

} // namespace app
