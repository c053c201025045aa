// The picture tab's part in "每台显示器各一张": each monitor's picture, set by hand from the list's menu
// or the button, remembered in the settings, and back to one picture for all.
#include "daily/daily_check.h"
#include "daily/daily_names.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "wallpaper/pictures/picture_files.h"
#include "wallpaper/choosing/picture_order.h"
#include "wallpaper/page/picture_page.h"

#include <algorithm>
#include <sstream>

namespace wallpaper {

namespace {

// Beside the monitors' pictures: the arrangement they were set for.
constexpr wchar_t KeyLayout[] = L"布局";

} // namespace

bool PicturePage::EachMonitor() const {
    // With one monitor everything stays as with one picture for all.
    return settings_.Monitors == settings::MonitorMode::Each &&
           settings_.Position != settings::WallpaperPosition::Span && GetSystemMetrics(SM_CMONITORS) > 1;
}

std::vector<Monitor> PicturePage::Monitors() {
    // The shell's object names the monitors by their device paths, where it is there.
    if (!std::exchange(desktopAsked_, true)) desktop_ = SystemDesktopWallpaper();
    return CurrentMonitors(desktop_.Get());
}

std::wstring PicturePage::RememberedPicture(const std::wstring& key) const {
    return settings::GetSetting(places_.ProgramFolder, SectionMonitorPictures, key, L"");
}

std::vector<Monitor> PicturePage::RememberedMonitors() const {
    // One monitor a line: its device path, a tab, and its rectangle.
    std::vector<Monitor> monitors;
    std::wistringstream lines(
        settings::GetSetting(places_.ProgramFolder, SectionMonitorPictures, KeyLayout, L""));
    for (std::wstring line; std::getline(lines, line);) {
        Monitor m;
        size_t tab = line.find(L'\t');
        if (tab == std::wstring::npos || swscanf(line.c_str() + tab + 1, L"%d,%d,%d,%d", &m.rect.left,
                                                 &m.rect.top, &m.rect.right, &m.rect.bottom) != 4)
            continue;
        m.devicePath = line.substr(0, tab);
        monitors.push_back(std::move(m));
    }
    return monitors;
}

void PicturePage::RememberMonitors(const std::vector<Monitor>& monitors) {
    std::wstring text;
    for (const Monitor& m : monitors) {
        Monitor byRect = m;
        byRect.devicePath.clear();
        text += m.devicePath + L"\t" + MonitorKey(byRect) + L"\n";
    }
    settings::SaveSetting(places_.ProgramFolder, SectionMonitorPictures, KeyLayout, text);
}

std::wstring PicturePage::OnePicture() const {
    // The newest wallpaper of all monitors in the history, else what the preview shows.
    for (size_t i = history_.Entries().size(); i-- > 0;) {
        const Arrangement& a = history_.Entries()[i];
        if (a.size() == 1 && a.front().monitor.empty()) return a.front().path;
    }
    return shownPath_;
}

void PicturePage::SetOnMonitors(const std::vector<Monitor>& monitors,
                                const std::vector<std::optional<std::wstring>>& pictures, bool report,
                                bool remember) {
    if (!work_ || monitors.empty()) return;
    LoadHistory();
    PictureWork::MonitorsRequest request;
    for (size_t i = 0; i < monitors.size(); ++i) {
        // A monitor without a picture of its own yet shows the one all monitors showed.
        std::wstring kept = RememberedPicture(MonitorKey(monitors[i]));
        if (kept.empty()) kept = OnePicture();
        std::optional<std::wstring> previous;
        if (!kept.empty()) previous = kept;
        request.monitors.push_back(
            {monitors[i], i < pictures.size() && pictures[i] ? *pictures[i] : kept, previous});
    }
    request.bitmapPath = places_.WallpaperBitmapPath;
    request.position = settings_.Position;
    request.report = report;
    request.remember = remember;
    RememberMonitors(monitors);
    setsAsked_ = work_->SetMonitors(std::move(request));
}

void PicturePage::DailyArrived(const std::vector<std::wstring>& paths, bool setNewest) {
    Refresh();
    if (!setNewest || paths.empty()) return;
    const std::wstring& path = paths.back();
    // Listed in the background: the list selects it once it holds it.
    if (Listing() && path.size() > path_.size() + 1) selectWhenListed_ = path.substr(path_.size() + 1);
    if (!EachMonitor()) return ShowAndSet(path, true);
    // The monitors of the picture's shape take it; the others keep theirs. None of its shape: all do.
    std::vector<Monitor> monitors = Monitors();
    std::optional<PixelSize> size = UprightSize(path);
    std::vector<std::optional<std::wstring>> pictures(monitors.size());
    for (size_t i = 0; i < monitors.size(); ++i) {
        const MonitorRect& r = monitors[i].rect;
        if (size && ShapeOf(r.right - r.left, r.bottom - r.top) == ShapeOf(size->width, size->height))
            pictures[i] = path;
    }
    if (std::none_of(pictures.begin(), pictures.end(), [](const auto& p) { return p.has_value(); }))
        pictures.assign(monitors.size(), path);
    SetOnMonitors(monitors, pictures, false, true);
}

std::wstring PicturePage::PreviewTip() const {
    const std::wstring picture = CurrentPicture(), folder = JoinPath(path_, daily::FolderName);
    const size_t slash = picture.find_last_of(L'\\');
    if (slash == std::wstring::npos ||
        CompareStringOrdinal(picture.c_str(), static_cast<int>(slash), folder.c_str(), -1, TRUE) != CSTR_EQUAL)
        return {};
    for (const daily::ManifestEntry& entry : daily::ReadManifest(folder))
        if (CompareStringOrdinal(entry.name.c_str(), -1, picture.c_str() + slash + 1, -1, TRUE) == CSTR_EQUAL)
            return entry.copyright.empty() ? entry.title : entry.title + L"\n" + entry.copyright;
    return {};
}

void PicturePage::BackToOnePicture() {
    DeleteMonitorBitmaps(places_.WallpaperBitmapPath);
    设置墙纸();
}

void PicturePage::SetForMonitor(int index) {
    std::vector<Monitor> monitors = menuMonitors_.empty() ? Monitors() : std::move(menuMonitors_);
    // With one monitor, both items do what the button does.
    if (index < 0 && !EachMonitor()) return 设置墙纸(true);
    if (monitors.size() <= 1) return Command2_Click();
    if (index >= static_cast<int>(monitors.size())) return;
    if (index >= 0 && settings_.Monitors != settings::MonitorMode::Each) {
        settings_.Monitors = settings::MonitorMode::Each;
        settings::SaveSetting(places_.ProgramFolder, settings::SectionSettings, settings::KeyMonitors,
                              settings::MonitorsEach);
    }
    std::vector<std::optional<std::wstring>> pictures(monitors.size());
    for (size_t i = 0; i < monitors.size(); ++i)
        if (index < 0 || static_cast<size_t>(index) == i) pictures[i] = CurrentPicture();
    SetOnMonitors(monitors, pictures, true, true);
}

} // namespace wallpaper
