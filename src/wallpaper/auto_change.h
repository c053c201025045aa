// The two timed modes of the picture tab: the automatic wallpaper change (Timer1) and the slideshow
// (TimerKT). Both step through the picture list; the change also makes each picture the wallpaper.
#pragma once
#include "platform/win.h"
#include "settings/app_settings.h"
#include "ui/timers.h"
#include "wallpaper/pause_rules.h"
#include "wallpaper/picture_order.h"
#include "wallpaper/tick_counter.h"

#include <string>

namespace wallpaper {

class PicturePage;

inline constexpr wchar_t Command4Idle[] = L"自动更换墙纸";
inline constexpr wchar_t Command4Running[] = L"停止更换墙纸";
inline constexpr wchar_t TrayItemIdle[] = L"自动更换壁纸";
inline constexpr wchar_t TrayItemRunning[] = L"停止更换壁纸";

// What the timed modes ask of the main window.
class AutoChangeHost {
  public:
    // Shows the options dialog modally; false when the program ended while it was open.
    virtual bool ShowOptions() = 0;
    // Clears the desktop for the wallpaper: icons hidden, every window minimised, ours hidden.
    virtual void ClearDesktop() = 0;
    virtual void SetTimerEnabled(ui::TimerId id, bool on) = 0;
    // Makes the picture the preview shows or is loading the wallpaper, in the background; a failure
    // passes in silence.
    virtual void 设置墙纸() = 0;
    // The slideshow runs only while the picture tab is shown in a visible, restored window.
    virtual bool SlideshowCanRun() const = 0;
    // The tray menu, whose "自动更换壁纸" item says whether the change runs.
    virtual HMENU TrayMenu() const = 0;
    // What could pause the change now: a locked session or a dark display, a full-screen program,
    // the battery.
    virtual PauseConditions PauseConditionsNow() const = 0;
    // The change pauses for `reason` (or runs again, for None): the tray's tip says so.
    virtual void ShowPause(PauseReason reason) = 0;

  protected:
    ~AutoChangeHost() = default;
};

class AutoChange {
  public:
    AutoChange(AutoChangeHost& host, PicturePage& pictures, const settings::AppSettings& settings,
               uint64_t seed)
        : host_(host), pictures_(pictures), settings_(settings), order_(seed) {}

    // The button and the tray item each start or stop the change by their own caption; the button
    // shows the options dialog first.
    void Command4_Click();
    void menu自动更换壁纸_Click();
    void Timer1_Timer();
    // "下一张墙纸": forward again after going back, else the picture the change would set next, at
    // once; the interval counts from 0 again. "上一张墙纸": the wallpaper set before the current one.
    void menu下一张墙纸_Click();
    void menu上一张墙纸_Click();
    // The monitors may have changed (at start-up, and once the display's changes have settled): with a
    // picture for each monitor, a new monitor, or one turned to the other shape, gets the next picture
    // of its shape; the others keep theirs. Nothing is done when the monitors are as they were.
    void DisplaysChanged();
    // Whether the change pauses now, as the tray's tip says; true when it does.
    bool CheckPause();
    void menu循环看图_Click();
    void menu停止_Click();
    void Command6_Click() { menu循环看图_Click(); }
    void TimerKT_Timer();

    // The captions, which say whether the change runs.
    std::wstring Command4Caption() const;
    std::wstring TrayItemCaption() const;

    TickCounter WallpaperTickCount, SlideshowTickCount;

  private:
    void SetCaptions(bool running);
    void Start();
    void Stop();
    // Sets the next picture in the list's or the shuffled order, on every monitor or on each its own.
    void NextWallpaper();
    // The next pictures for monitors of `shapes`.
    Turn NextFor(const std::vector<Shape>& shapes);

    AutoChangeHost& host_;
    PicturePage& pictures_;
    const settings::AppSettings& settings_;
    PictureOrder order_;
};

} // namespace wallpaper
