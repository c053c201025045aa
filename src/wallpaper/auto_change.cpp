#include "wallpaper/auto_change.h"

#include "res/resource.h"
#include "wallpaper/picture_files.h"
#include "wallpaper/picture_page.h"

namespace wallpaper {

using ui::Timer1;
using ui::TimerKT;

namespace {

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
    if (!CheckPause()) NextWallpaper();
}

bool AutoChange::CheckPause() {
    const PauseReason pause =
        PauseFor({settings_.PauseLocked, settings_.PauseFullScreen, settings_.PauseBattery},
                 host_.PauseConditionsNow());
    host_.ShowPause(pause);
    return pause != PauseReason::None;
}

Turn AutoChange::NextFor(const std::vector<Shape>& shapes) {
    // A picture's shape comes from its file's header, read only as far as the choice needs.
    const std::vector<std::wstring>& names = pictures_.Names();
    auto shapeOf = [&](int i) {
        return ShapeOfPicture(JoinPath(pictures_.Path(), names[static_cast<size_t>(i)]));
    };
    return order_.Next(names, pictures_.ListIndex(), settings_.Shuffle, shapes, shapeOf);
}

void AutoChange::NextWallpaper() {
    if (!pictures_.EachMonitor()) {
        Turn turn = order_.Next(pictures_.Names(), pictures_.ListIndex(), settings_.Shuffle);
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

void AutoChange::menu停止_Click() {
    host_.SetTimerEnabled(TimerKT, false);
}

void AutoChange::TimerKT_Timer() {
    if (!host_.SlideshowCanRun()) return menu停止_Click();
    if (!SlideshowTickCount.Tick(settings_.SlideshowInterval)) return;
    if (std::optional<int> next = NextIndex(pictures_.ListIndex(), pictures_.ListCount()))
        pictures_.SetListIndex(*next, true);
}

} // namespace wallpaper
