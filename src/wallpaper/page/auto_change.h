// The two timed modes of the picture tab: the automatic wallpaper change (Timer1) and the slideshow
// (TimerKT). Both step through the picture list; the change also makes each picture the wallpaper.
// The change owns what it listens to: its hotkeys, the session's lock, the display's power, the
// power source and the displays' changes, which reach it through OnMessage.
#pragma once
#include "platform/win.h"
#include "settings/app_settings.h"
#include "ui/timers.h"
#include "wallpaper/choosing/pause_rules.h"
#include "wallpaper/choosing/picture_order.h"
#include "wallpaper/choosing/tick_counter.h"
#include "wallpaper/choosing/sun_times.h"

#include <optional>
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
    // The window whose messages reach OnMessage: it owns the timers, hotkeys and notifications.
    virtual HWND Window() const = 0;
    // Shows the options dialog modally; false when the program ended while it was open.
    virtual bool ShowOptions() = 0;
    // Clears the desktop for the wallpaper: icons hidden, every window minimised, ours hidden.
    virtual void ClearDesktop() = 0;
    // The slideshow's one-second timer.
    virtual void SetTimerEnabled(ui::TimerId id, bool on) = 0;
    // Makes the picture the preview shows or is loading the wallpaper, in the background; a failure
    // passes in silence.
    virtual void 设置墙纸() = 0;
    // The slideshow runs only while the picture tab is shown in a visible, restored window.
    virtual bool SlideshowCanRun() const = 0;
    // The tray menu, whose "自动更换壁纸" item says whether the change runs.
    virtual HMENU TrayMenu() const = 0;
    // The change pauses for `reason` (or runs again, for None): the tray's tip says so.
    virtual void ShowPause(PauseReason reason) = 0;
    // The tip's line on the time of day ("白天（日落 16:51）"), or none.
    virtual void ShowPhase(const std::wstring& line) = 0;

  protected:
    ~AutoChangeHost() = default;
};

class AutoChange {
  public:
    static constexpr int HotkeyNext = 1, HotkeyPrevious = 2;

    AutoChange(AutoChangeHost& host, PicturePage& pictures, const settings::AppSettings& settings,
               uint64_t seed)
        : host_(host), pictures_(pictures), settings_(settings), order_(seed) {}

    // Once the window exists: the hotkeys of the settings (a key another program holds is passed
    // over in silence) and the session's and display's notifications.
    void Attach();
    // On the way out: everything Attach registered, and the change stops.
    void Detach();
    // The window's messages that belong to the change: hotkeys, the session, power, the displays and
    // the change's own timers. True when handled; `result` is then the message's answer.
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // The commands of the change and the slideshow (the tray's and the page's); true when handled.
    bool OnCommand(int id, int code);

    // The button and the tray item each start or stop the change by their own caption; the button
    // shows the options dialog first.
    void Command4_Click();
    void menu自动更换壁纸_Click();
    // The change is due: the next picture, unless a pause holds it; the interval counts again.
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
    // The settings may have changed (the options dialog): the interval counts on at its new length,
    // and the time of day is looked at again.
    void SettingsChanged();
    // Day or night, by the sun or by Windows' light and dark mode: when the phase has changed since it
    // was last looked at, the wallpaper becomes the phase's next picture at once (unless a pause holds
    // it, then when the pause ends). The first look (start-up, the mode turned on) leaves a wallpaper
    // that belongs to the phase as it is. The timer is set for the next sunrise or sunset.
    void CheckPhase();
    // "收藏" or "不再显示" on `path`, or off where it is on already; a picture on show that is never to
    // be shown again gives way at once (on the monitors that show it).
    void ToggleMark(const std::wstring& path, Mark mark);
    // The phase the choices follow now; nothing while the pictures do not follow the time of day.
    std::optional<Phase> CurrentPhase() const { return phase_; }
    void menu循环看图_Click();
    void menu停止_Click();
    void Command6_Click() { menu循环看图_Click(); }
    void TimerKT_Timer();

    // The hotkeys of "下一张墙纸" and "上一张墙纸" (as the hotkey control gives them; 0: none) are
    // registered for the window; an empty text, or the message naming a key another program holds,
    // with the keys as they were.
    std::wstring RegisterHotkeys(uint16_t next, uint16_t previous);
    // The session was locked or unlocked, the display turned off or on: while it is dark and the user
    // lets that pause the change, its timer stands still and keeps what it had counted.
    void SessionDark(bool locked, bool displayOff);

    // The captions, which say whether the change runs.
    std::wstring Command4Caption() const;
    std::wstring TrayItemCaption() const;
    // Whether the change runs, and whether its timer is set (not while it stands still in the dark).
    bool Running() const { return running_; }
    bool Ticking() const { return ticking_; }
    // Milliseconds until the change is due, as its timer was last set; nothing while it stands still.
    std::optional<uint32_t> DueIn() const;

    TickCounter SlideshowTickCount;

  private:
    void SetCaptions(bool running);
    void Start();
    void Stop();
    // The change stops with what its interval had counted kept; the captions stay.
    void Halt();
    // The interval counts from 0 again, from now.
    void RestartCount();
    // Sets (or kills) Timer1 for the moment the change is due.
    void ArmTimer();
    PauseConditions PauseConditionsNow() const;
    // Sets the next picture in the list's or the shuffled order, on every monitor or on each its own.
    void NextWallpaper();
    // The next pictures for monitors of `shapes`.
    Turn NextFor(const std::vector<Shape>& shapes);
    // What the choice follows: the phase, the marks, favourites only.
    ChoiceRules Rules() const;
    // The wallpaper on show belongs to `phase`: each of its pictures lies in the phase's folder or
    // outside both.
    bool WallpaperBelongsTo(Phase phase);

    AutoChangeHost& host_;
    PicturePage& pictures_;
    const settings::AppSettings& settings_;
    PictureOrder order_;
    bool running_ = false, ticking_ = false;
    ULONGLONG countFrom_ = 0;  // when the interval began to count
    ULONGLONG darkSince_ = 0;  // when the timer stood still
    ULONGLONG kept_ = 0;       // what the interval had counted when the change stopped
    bool locked_ = false, displayOff_ = false;
    PauseReason pause_ = PauseReason::None;
    std::optional<Phase> phase_;
    bool phasePending_ = false; // a switch that a pause holds
    uint16_t hotkeys_[2] = {};
    HPOWERNOTIFY displayNotice_ = nullptr;
};

} // namespace wallpaper
