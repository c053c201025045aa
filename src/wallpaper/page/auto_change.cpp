#include "wallpaper/page/auto_change.h"

#include "res/resource.h"
#include "settings/form_option.h"
#include "ui/controls.h"
#include "wallpaper/choosing/pause_state.h"
#include "wallpaper/choosing/folder_phase.h"
#include "wallpaper/page/day_night.h"
#include "wallpaper/page/picture_page.h"
#include "wallpaper/pictures/picture_files.h"

#include <algorithm>
#include <commctrl.h>
#include <wtsapi32.h>

namespace wallpaper {

using ui::Timer1;
using ui::TimerDisplays;
using ui::TimerKT;
using ui::TimerPhase;

namespace {

// The hotkey control's flags as RegisterHotKey's; a key held down does not repeat the command.
UINT HotkeyModifiers(uint16_t hotkey) {
    const UINT flags = hotkey >> 8;
    return (flags & HOTKEYF_CONTROL ? MOD_CONTROL : 0) | (flags & HOTKEYF_SHIFT ? MOD_SHIFT : 0) |
           (flags & HOTKEYF_ALT ? MOD_ALT : 0) | MOD_NOREPEAT;
}

// A picture's shape, from its file's header.
std::optional<Shape> ShapeOfPicture(const std::wstring& path) {
    std::optional<PixelSize> size = UprightSize(path);
    if (!size) return std::nullopt;
    return ShapeOf(size->width, size->height);
}

} // namespace

std::wstring AutoChange::Command4Caption() const {
    return platform::GetText(pictures_.Command4);
}

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

// Stopping and starting again keeps what the interval had counted.
void AutoChange::Start() {
    host_.ClearDesktop();
    running_ = true;
    countFrom_ = GetTickCount64() - std::exchange(kept_, 0);
    ArmTimer();
}

// The desktop icons stay as they are.
void AutoChange::Stop() {
    Halt();
    SetCaptions(false);
}

void AutoChange::Halt() {
    // While dark the count stands where the dark began.
    if (running_) kept_ = (darkSince_ ? darkSince_ : GetTickCount64()) - countFrom_;
    running_ = false;
    ArmTimer();
}

void AutoChange::RestartCount() {
    countFrom_ = GetTickCount64();
    if (darkSince_) darkSince_ = countFrom_;
    ArmTimer();
}

void AutoChange::ArmTimer() {
    // Nobody sees the wallpaper: the change keeps its count and goes on when the screen is back.
    const bool dark = settings_.PauseLocked && (locked_ || displayOff_);
    const ULONGLONG now = GetTickCount64();
    if (running_ && dark) {
        if (!darkSince_) darkSince_ = now;
    } else if (darkSince_) {
        if (running_) countFrom_ += now - darkSince_;
        darkSince_ = 0;
    }
    ticking_ = running_ && !dark;
    if (!host_.Window()) return;
    if (std::optional<uint32_t> due = DueIn())
        SetCoalescableTimer(host_.Window(), Timer1, std::max<uint32_t>(*due, USER_TIMER_MINIMUM), nullptr,
                            TIMERV_DEFAULT_COALESCING);
    else
        KillTimer(host_.Window(), Timer1);
}

std::optional<uint32_t> AutoChange::DueIn() const {
    if (!ticking_) return std::nullopt;
    const ULONGLONG interval = 1000ull * static_cast<ULONGLONG>(std::max(settings_.WallpaperInterval, 1));
    const ULONGLONG passed = GetTickCount64() - countFrom_;
    return static_cast<uint32_t>(passed >= interval ? 0 : interval - passed);
}

void AutoChange::SettingsChanged() {
    ArmTimer();
    if (settings_.Time == settings::TimeMode::None) phase_.reset();
    CheckPhase();
}

ChoiceRules AutoChange::Rules() const {
    ChoiceRules rules;
    rules.phase = phase_;
    rules.favouritesOnly = settings_.FavouritesOnly;
    rules.markOf = [this](int i) { return pictures_.MarkOfIndex(i); };
    return rules;
}

bool AutoChange::WallpaperBelongsTo(Phase phase) {
    std::vector<std::wstring> shown = pictures_.WallpapersShown();
    if (shown.empty()) return false;
    const std::wstring top = pictures_.Path() + L"\\";
    for (const std::wstring& path : shown) {
        const bool inside = path.size() > top.size() &&
                            CompareStringOrdinal(path.c_str(), static_cast<int>(top.size()), top.c_str(),
                                                 static_cast<int>(top.size()), TRUE) == CSTR_EQUAL;
        std::optional<Phase> folder = inside ? FolderPhase(path.substr(top.size())) : std::nullopt;
        if (folder && folder != phase) return false;
    }
    return true;
}

void AutoChange::CheckPhase() {
    const LocalClock now = LocalNow();
    std::optional<PhaseState> state = PhaseFor(settings_, now.nowUtc);
    if (host_.Window()) {
        // Polar days and nights may last longer than a timer can wait: it is then set again.
        if (state && state->nextSwitch) {
            const int64_t ms = std::clamp<int64_t>((*state->nextSwitch - now.nowUtc) * 1000 + 500,
                                                   USER_TIMER_MINIMUM, 0x7FFFFFFF);
            SetTimer(host_.Window(), TimerPhase, static_cast<UINT>(ms), nullptr);
        } else {
            KillTimer(host_.Window(), TimerPhase);
        }
    }
    if (!state) {
        phase_.reset();
        phasePending_ = false;
        host_.ShowPhase(L"");
        return;
    }
    if (settings_.Time == settings::TimeMode::Sun)
        host_.ShowPhase(PhaseTip(PhaseNow(now.nowUtc, settings_.Latitude, settings_.Longitude), now.nowUtc,
                                 now.offsetMinutes));
    else
        host_.ShowPhase(L"");
    const bool first = !phase_;
    if (phase_ == state->phase && !phasePending_) return;
    phase_ = state->phase;
    if (first && WallpaperBelongsTo(state->phase)) return;
    if (CheckPause()) {
        // Held by the pause: looked at again when it ends (unlock, power), or a minute on.
        phasePending_ = true;
        if (host_.Window() && !(locked_ || displayOff_)) SetTimer(host_.Window(), TimerPhase, 60000, nullptr);
        return;
    }
    phasePending_ = false;
    if (settings_.SwitchSystemMode && settings_.Time == settings::TimeMode::Sun)
        SetSystemLightMode(state->phase == Phase::Day);
    kept_ = 0;
    if (running_) RestartCount();
    NextWallpaper();
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
    RestartCount();
    SetCaptions(true);
    // A change due during a pause sets nothing, and the count starts again: when the pause ends the
    // next change comes within one interval, never as a burst.
    if (CheckPause()) return;
    phasePending_ = false;
    NextWallpaper();
}

PauseConditions AutoChange::PauseConditionsNow() const {
    return {locked_ || displayOff_, FullScreenNow(host_.Window()), OnBattery()};
}

bool AutoChange::CheckPause() {
    const PauseReason pause = PauseFor({settings_.PauseLocked, settings_.PauseFullScreen, settings_.PauseBattery},
                                       PauseConditionsNow());
    if (std::exchange(pause_, pause) != pause) host_.ShowPause(pause);
    return pause != PauseReason::None;
}

Turn AutoChange::NextFor(const std::vector<Shape>& shapes) {
    // A picture's shape comes from its file's header, read only as far as the choice needs.
    const std::vector<std::wstring>& names = pictures_.Names();
    auto shapeOf = [&](int i) {
        return ShapeOfPicture(JoinPath(pictures_.Path(), names[static_cast<size_t>(i)]));
    };
    return order_.Next(names, pictures_.ListIndex(), settings_.Shuffle, shapes, shapeOf, Rules());
}

void AutoChange::NextWallpaper() {
    if (!pictures_.EachMonitor()) {
        Turn turn = order_.Next(pictures_.Names(), pictures_.ListIndex(), settings_.Shuffle, {}, {}, Rules());
        if (turn.selection < 0) return;
        pictures_.SetListIndexForWallpaper(turn.selection);
        // The set waits for that picture's decode. A picture that cannot be set is passed over
        // quietly: the next interval tries the next one.
        return host_.设置墙纸();
    }
    std::vector<Monitor> monitors = pictures_.Monitors();
    std::vector<Shape> shapes;
    for (const Monitor& m : monitors)
        shapes.push_back(ShapeOf(m.rect.Width(), m.rect.Height()));
    Turn turn = NextFor(shapes);
    if (turn.selection < 0) return;
    std::vector<std::optional<std::wstring>> paths;
    for (int i : turn.pictures)
        paths.push_back(JoinPath(pictures_.Path(), pictures_.Names()[static_cast<size_t>(i)]));
    // The list, the caption and the preview move to the picture furthest along.
    pictures_.SetListIndex(turn.selection, true);
    pictures_.SetOnMonitors(monitors, paths, false, true);
}

void AutoChange::DisplaysChanged() {
    if (!pictures_.EachMonitor()) {
        // Down to one monitor from several, each with its own: the one left shows its picture alone.
        if (settings_.Monitors == settings::MonitorMode::Each && pictures_.RememberedMonitors().size() > 1) {
            pictures_.RememberMonitors(pictures_.Monitors());
            host_.设置墙纸();
        }
        return;
    }
    std::vector<Monitor> now = pictures_.Monitors();
    ArrangementChange change = CompareArrangement(
        pictures_.RememberedMonitors(), now,
        [&](const std::wstring& key) -> std::optional<std::wstring> {
            std::wstring path = pictures_.RememberedPicture(key);
            if (path.empty()) return std::nullopt;
            return path;
        },
        ShapeOfPicture);
    if (change.same) return;
    std::vector<std::optional<std::wstring>> paths(now.size());
    std::vector<Shape> shapes;
    for (size_t i : change.needPicture)
        shapes.push_back(ShapeOf(now[i].rect.Width(), now[i].rect.Height()));
    if (!shapes.empty()) {
        Turn turn = NextFor(shapes);
        for (size_t k = 0; k < turn.pictures.size() && k < change.needPicture.size(); ++k)
            paths[change.needPicture[k]] =
                JoinPath(pictures_.Path(), pictures_.Names()[static_cast<size_t>(turn.pictures[k])]);
        if (turn.selection >= 0) pictures_.SetListIndex(turn.selection, true);
    }
    pictures_.SetOnMonitors(now, paths, false, !shapes.empty());
}

void AutoChange::menu下一张墙纸_Click() {
    kept_ = 0;
    if (running_) RestartCount();
    if (!pictures_.GoForward()) NextWallpaper();
}

void AutoChange::menu上一张墙纸_Click() {
    pictures_.GoBack();
}

void AutoChange::menu循环看图_Click() {
    Halt();
    host_.SetTimerEnabled(TimerKT, true);
}

void AutoChange::menu停止_Click() {
    host_.SetTimerEnabled(TimerKT, false);
}

void AutoChange::TimerKT_Timer() {
    if (!host_.SlideshowCanRun()) return menu停止_Click();
    if (!SlideshowTickCount.Tick(settings_.SlideshowInterval)) return;
    // Pictures never to be shown again are passed over.
    std::optional<int> next = NextIndex(pictures_.ListIndex(), pictures_.ListCount());
    for (int tries = pictures_.ListCount(); next && tries > 0 && pictures_.MarkOfIndex(*next) == Mark::Never; --tries)
        next = NextIndex(*next, pictures_.ListCount());
    if (next && pictures_.MarkOfIndex(*next) != Mark::Never) pictures_.SetListIndex(*next, true);
}

// ---- what the change listens to ---------------------------------------------------------------

void AutoChange::Attach() {
    RegisterHotkeys(settings_.NextHotkey, 0);
    RegisterHotkeys(hotkeys_[0], settings_.PreviousHotkey);
    // The change pauses while the session is locked or the display is off.
    WTSRegisterSessionNotification(host_.Window(), NOTIFY_FOR_THIS_SESSION);
    displayNotice_ = RegisterPowerSettingNotification(host_.Window(), &GUID_CONSOLE_DISPLAY_STATE,
                                                      DEVICE_NOTIFY_WINDOW_HANDLE);
}

void AutoChange::Detach() {
    running_ = false;
    ArmTimer();
    UnregisterHotKey(host_.Window(), HotkeyNext);
    UnregisterHotKey(host_.Window(), HotkeyPrevious);
    WTSUnRegisterSessionNotification(host_.Window());
    if (displayNotice_) UnregisterPowerSettingNotification(std::exchange(displayNotice_, nullptr));
}

void AutoChange::SessionDark(bool locked, bool displayOff) {
    locked_ = locked;
    displayOff_ = displayOff;
    ArmTimer();
}

std::wstring AutoChange::RegisterHotkeys(uint16_t next, uint16_t previous) {
    HWND window = host_.Window();
    const uint16_t wanted[2] = {next, previous}, before[2] = {hotkeys_[0], hotkeys_[1]};
    UnregisterHotKey(window, HotkeyNext);
    UnregisterHotKey(window, HotkeyPrevious);
    hotkeys_[0] = hotkeys_[1] = 0;
    for (int i = 0; i < 2; ++i) {
        if (!wanted[i] || RegisterHotKey(window, HotkeyNext + i, HotkeyModifiers(wanted[i]), wanted[i] & 0xFF)) {
            hotkeys_[i] = wanted[i];
            continue;
        }
        // Taken by another program: the keys stay as they were.
        UnregisterHotKey(window, HotkeyNext);
        hotkeys_[0] = 0;
        for (int j = 0; j < 2; ++j)
            if (before[j] && RegisterHotKey(window, HotkeyNext + j, HotkeyModifiers(before[j]), before[j] & 0xFF))
                hotkeys_[j] = before[j];
        return settings::HotkeyTakenMessage(wanted[i]);
    }
    return {};
}

bool AutoChange::OnCommand(int id, int code) {
    switch (id) {
    case ID_menu自动更换壁纸:
        menu自动更换壁纸_Click();
        return true;
    case ID_menu下一张墙纸:
        menu下一张墙纸_Click();
        return true;
    case ID_menu上一张墙纸:
        menu上一张墙纸_Click();
        return true;
    case ID_menu循环看图:
        menu循环看图_Click();
        return true;
    case ID_menu停止:
        menu停止_Click();
        return true;
    case ui::IDC_Command4:
        if (code == BN_CLICKED) Command4_Click();
        return true;
    case ui::IDC_Command6:
        if (code == BN_CLICKED) Command6_Click();
        return true;
    case ID_FlieL收藏:
    case ID_FlieL不再显示:
        ToggleMark(pictures_.SelectedPath(), id == ID_FlieL收藏 ? Mark::Favourite : Mark::Never);
        return true;
    }
    return false;
}

void AutoChange::ToggleMark(const std::wstring& path, Mark mark) {
    if (path.empty()) return;
    const Mark now = pictures_.MarkOf(path) == mark ? Mark::None : mark;
    pictures_.SetMark(path, now);
    if (now != Mark::Never) return;
    // A picture on show that is never to be shown again gives way at once: with a picture for each
    // monitor, on the monitors that show it.
    const Arrangement shown = pictures_.ArrangementShown();
    std::vector<std::wstring> keys;
    for (const MonitorPicture& m : shown)
        if (CompareStringOrdinal(m.path.c_str(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL) keys.push_back(m.monitor);
    if (keys.empty()) return;
    if (!pictures_.EachMonitor() || (keys.size() == 1 && keys[0].empty())) return NextWallpaper();
    std::vector<Monitor> monitors = pictures_.Monitors();
    std::vector<std::optional<std::wstring>> paths(monitors.size());
    std::vector<Shape> shapes;
    std::vector<size_t> at;
    for (size_t i = 0; i < monitors.size(); ++i)
        if (std::find(keys.begin(), keys.end(), MonitorKey(monitors[i])) != keys.end()) {
            shapes.push_back(ShapeOf(monitors[i].rect.Width(), monitors[i].rect.Height()));
            at.push_back(i);
        }
    Turn turn = NextFor(shapes);
    for (size_t k = 0; k < turn.pictures.size() && k < at.size(); ++k)
        paths[at[k]] = JoinPath(pictures_.Path(), pictures_.Names()[static_cast<size_t>(turn.pictures[k])]);
    if (turn.selection >= 0) pictures_.SetListIndex(turn.selection, true);
    pictures_.SetOnMonitors(monitors, paths, false, true);
}

bool AutoChange::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_TIMER:
        if (wp == Timer1) {
            Timer1_Timer();
        } else if (wp == TimerKT) {
            TimerKT_Timer();
        } else if (wp == TimerPhase) {
            KillTimer(host_.Window(), TimerPhase);
            CheckPhase();
        } else if (wp == TimerDisplays) {
            KillTimer(host_.Window(), TimerDisplays);
            DisplaysChanged();
        } else {
            return false;
        }
        return true;
    case WM_DISPLAYCHANGE:
        // The picture for each monitor is made again once the displays' changes have settled.
        SetTimer(host_.Window(), TimerDisplays, 2000, nullptr);
        return false;
    case WM_SETTINGCHANGE:
        if (wp == SPI_SETWORKAREA) SetTimer(host_.Window(), TimerDisplays, 2000, nullptr);
        // Windows' light and dark mode changed.
        if (lp && settings_.Time == settings::TimeMode::System &&
            wcscmp(reinterpret_cast<const wchar_t*>(lp), L"ImmersiveColorSet") == 0)
            CheckPhase();
        return false;
    case WM_TIMECHANGE:
        CheckPhase();
        return false;
    case WM_DPICHANGED:
        SetTimer(host_.Window(), TimerDisplays, 2000, nullptr);
        return false;
    case WM_HOTKEY:
        if (wp == HotkeyNext) menu下一张墙纸_Click();
        if (wp == HotkeyPrevious) menu上一张墙纸_Click();
        return true;
    case WM_WTSSESSION_CHANGE:
        if (wp == WTS_SESSION_LOCK || wp == WTS_SESSION_UNLOCK) SessionDark(wp == WTS_SESSION_LOCK, displayOff_);
        if (wp == WTS_SESSION_UNLOCK) CheckPhase();
        return true;
    case WM_POWERBROADCAST:
        result = TRUE;
        // On battery or back on the mains: the tip says so at once while the change runs.
        if (wp == PBT_APMPOWERSTATUSCHANGE && running_) CheckPause();
        // Awake again, or back on the mains: a phase may have turned meanwhile.
        if (wp == PBT_APMRESUMEAUTOMATIC || (wp == PBT_APMPOWERSTATUSCHANGE && phasePending_)) CheckPhase();
        if (wp == PBT_POWERSETTINGCHANGE) {
            auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lp);
            if (setting->PowerSetting == GUID_CONSOLE_DISPLAY_STATE && setting->DataLength >= sizeof(DWORD))
                SessionDark(locked_, *reinterpret_cast<const DWORD*>(setting->Data) == 0);
        }
        return true;
    }
    return false;
}

} // namespace wallpaper
