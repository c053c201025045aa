#include "wallpaper/page/picture_page.h"

#include "core/identity.h"
#include "core/places.h"
#include "res/resource.h"
#include "settings/registry.h"
#include "settings/settings_store.h"
#include "wallpaper/page/folder_picker.h"
#include "daily/daily_names.h"
#include "wallpaper/choosing/folder_phase.h"
#include "wallpaper/pictures/picture_files.h"
#include "wallpaper/pictures/picture_list.h"
#include "wallpaper/pictures/picture_names.h"
#include "wallpaper/laying/wallpaper_setter.h"

#include <algorithm>
#include <commctrl.h>
#include <windowsx.h>

namespace wallpaper {
using namespace ui;

bool MinimisedOnScreen(HWND window) {
    return IsIconic(window) && IsWindowVisible(window);
}

bool PicturePage::Build(HWND parent, int id, HFONT font, UINT dpi) {
    font_ = font;
    dpi_ = dpi;
    if (!Create(parent, id)) return false;
    popups_.reset(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUPS)));
    FlieL = GetSubMenu(popups_.get(), POPUP_FLIEL);
    const DWORD button = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    Command1 = Add(hwnd(), IDC_Command1, WC_BUTTONW, L"指定图片路径", button, {330, 30, 1260, 360});
    Command3 = Add(hwnd(), IDC_Command3, WC_BUTTONW, L"默认路径", button, {1660, 30, 1260, 360});
    Command2 = Add(hwnd(), IDC_Command2, WC_BUTTONW, L"设为墙纸", button, {330, 430, 1260, 360});
    Command4 = Add(hwnd(), IDC_Command4, WC_BUTTONW, L"自动更换墙纸", button, {1660, 430, 1260, 360});
    Command6 = Add(hwnd(), IDC_Command6, WC_BUTTONW, L"循环看图", button, {330, 830, 1260, 360});
    Command5 = Add(hwnd(), IDC_Command5, WC_BUTTONW, L"下载最新墙纸", button, {1660, 830, 1260, 360});
    File1 = Add(hwnd(), IDC_File1, WC_LISTBOXW, L"",
                WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                    LBS_WANTKEYBOARDINPUT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                File1Designed, WS_EX_CLIENTEDGE);
    SetRowHeight();
    preview_.Create(hwnd(), IDC_P_back);
    P_back = preview_.hwnd();
    platform::SetAccessibleName(File1, L"图片列表");
    platform::SetAccessibleName(P_back, L"图片预览");
    fixed_.push_back({P_back, P_backDesigned, true});
    PlaceInFrame(P_back, P_backDesigned, dpi);

    // The folder the list shows, as a tip over the list; the text is asked for when it shows.
    tip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW tool{sizeof tool};
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(File1);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Over the preview: a daily picture's title and copyright.
    tool.uId = reinterpret_cast<UINT_PTR>(P_back);
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 600);

    work_ = std::make_unique<PictureWork>(hwnd());
    lister_ = std::make_unique<PictureLister>(hwnd());
    dropTarget_ = platform::FileDropTarget::Register(
        hwnd(), [this](const std::vector<std::wstring>& paths, POINT, DWORD, DWORD allowed, bool drop) {
            return DropPictures(paths, allowed, drop);
        });
    return true;
}

DWORD PicturePage::DropPictures(const std::vector<std::wstring>& paths, DWORD allowed, bool drop) {
    auto picture = std::find_if(paths.begin(), paths.end(), [](const std::wstring& p) {
        size_t slash = p.rfind(L'\\');
        return slash != std::wstring::npos && IsPictureName(p.substr(slash + 1));
    });
    DWORD effect = allowed & DROPEFFECT_COPY ? DROPEFFECT_COPY : allowed & DROPEFFECT_LINK;
    if (picture == paths.end() || !effect) return DROPEFFECT_NONE;
    if (!drop) return effect;
    size_t slash = picture->rfind(L'\\');
    if (!SetPath(picture->substr(0, slash == 2 ? 3 : slash))) return DROPEFFECT_NONE;
    std::wstring name = picture->substr(slash + 1);
    if (listing_) { // selected once the subfolders are listed
        selectWhenListed_ = name;
        return effect;
    }
    LRESULT index = SendMessageW(File1, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(name.c_str()));
    if (index == LB_ERR) return DROPEFFECT_NONE;
    SetListIndex(static_cast<int>(index));
    return effect;
}

void PicturePage::Layout(int W, int H, UINT dpi) {
    layout::PictureTab t = layout::LayoutPictureTab(W, H, File1Designed);
    PlaceInFrame(File1, t.File1, dpi);
    PlaceInFrame(P_back, t.P_back, dpi);
}

void PicturePage::ShowFirstFolder(std::initializer_list<std::wstring> folders) {
    for (const std::wstring& folder : folders)
        if (SetPath(folder)) break;
    settings_.WallpaperFolder = path_;
}

bool PicturePage::SetPath(const std::wstring& folder) {
    std::wstring f = NormalizeFolder(folder);
    if (!FolderExists(f)) return false;
    path_ = f;
    rowMarks_.clear();
    Refresh();
    return true;
}

void PicturePage::Refresh() {
    if (settings_.Subfolders && lister_) {
        listing_ = lister_->List(path_);
        return;
    }
    // The pictures of the day and of the night, and the daily pictures, are listed whatever the
    // subfolders' setting says while they are in use.
    std::vector<std::wstring> own;
    if (settings_.Time != settings::TimeMode::None) own = {DayFolder, NightFolder};
    if (settings_.Daily) own.push_back(daily::FolderName);
    if (!own.empty() && lister_) {
        listing_ = lister_->List(path_, std::move(own));
        return;
    }
    if (std::exchange(listing_, 0)) lister_->Cancel();
    Fill(ListPictures(path_), false);
}

void PicturePage::PicturesListed(uint32_t generation) {
    std::optional<std::vector<std::wstring>> names = lister_->Take(generation);
    if (!names || generation != listing_) return;
    listing_ = 0;
    Fill(std::move(*names), true);
    if (std::wstring name = std::exchange(selectWhenListed_, {}); !name.empty()) {
        LRESULT index = SendMessageW(File1, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(name.c_str()));
        if (index != LB_ERR) SetListIndex(static_cast<int>(index));
    }
}

void PicturePage::Fill(std::vector<std::wstring> names, bool keepSelection) {
    // The selected picture stays selected; one that has gone leaves the caret where it was.
    const int index = ListIndex();
    const std::wstring selected = keepSelection && index >= 0 ? List(index) : L"";
    SendMessageW(File1, WM_SETREDRAW, FALSE, 0);
    SendMessageW(File1, LB_RESETCONTENT, 0, 0);
    names_ = std::move(names);
    rowMarks_.clear();
    // New rows: their thumbnails are asked for again as they show, the ones kept on disk first.
    rows_ = std::vector<ThumbnailRow>(names_.size());
    ++list_;
    listFolder_ = path_;
    ordered_.reset();
    // Straight to the list's own procedure: the tooltip's and the accessible name's subclasses look
    // their data up for every message, which under Wine asks the server each time.
    auto add = reinterpret_cast<WNDPROC>(GetClassLongPtrW(File1, GCLP_WNDPROC));
    for (const std::wstring& name : names_)
        CallWindowProcW(add, File1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    if (!selected.empty()) {
        LRESULT at = SendMessageW(File1, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(selected.c_str()));
        if (at != LB_ERR)
            SendMessageW(File1, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
        else if (!names_.empty())
            SendMessageW(File1, LB_SETCARETINDEX,
                         static_cast<WPARAM>(std::min<size_t>(index, names_.size() - 1)), FALSE);
    }
    SendMessageW(File1, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(File1, nullptr, TRUE);
    // The ratings the files carry come in the background.
    if (lister_) rating_ = lister_->Rate(path_, names_);
}

int PicturePage::ListCount() const {
    return static_cast<int>(SendMessageW(File1, LB_GETCOUNT, 0, 0));
}

int PicturePage::ListIndex() const {
    return static_cast<int>(SendMessageW(File1, LB_GETCURSEL, 0, 0));
}

std::wstring PicturePage::List(int index) const {
    LRESULT n = SendMessageW(File1, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR) return {};
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = SendMessageW(File1, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(n == LB_ERR ? 0 : static_cast<size_t>(n));
    return text;
}

void PicturePage::SetListIndex(int index, bool quiet) {
    SendMessageW(File1, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    File1_Click(quiet);
}

void PicturePage::SetListIndexForWallpaper(int index) {
    if (work_ && index >= 0 && index < ListCount()) work_->SetComing(JoinPath(path_, List(index)));
    SetListIndex(index, true);
}

void PicturePage::File1_Click(bool quiet) {
    if (ListCount() == 0) return;
    int index = ListIndex();
    if (index < 0) return;
    std::wstring name = List(index);
    std::wstring src = JoinPath(path_, name);
    // A file gone since the list was filled: the list catches up, nothing else happens.
    if (!settings::FileCanBeOpened(src)) {
        Refresh();
        return;
    }
    SetWindowTextW(Owner(), (L"Tavolin－" + src).c_str());
    加载图片(src, quiet);
    // A picture of a subfolder is collected from its own folder; nothing of the collection's own tree is.
    std::wstring folder = path_, file = name;
    if (size_t slash = name.rfind(L'\\'); slash != std::wstring::npos) {
        folder = JoinPath(path_, name.substr(0, slash));
        file = name.substr(slash + 1);
    }
    Collected collected =
        path_ == places_.PictureFolder ? Collected{} : CollectPicture(places_.PictureFolder, folder, file);
    if (!collected.error.empty()) Report(collected.error);
}

void PicturePage::加载图片(const std::wstring& path, bool quiet) {
    if (!path.empty()) {
        wanted_ = path;
        wantedQuiet_ = quiet;
    }
    UpdatePreview();
}

void PicturePage::SetWindowShown(bool shown) {
    windowShown_ = shown;
    if (shown) return UpdatePreview();
    // Nobody sees the preview: its bitmap goes, and comes back when the window shows.
    if (!work_) return;
    work_->CancelDecode();
    decoding_ = {};
    preview_.Release();
    ReleaseThumbnails();
}

void PicturePage::UpdatePreview() {
    if (!work_ || !windowShown_ || MinimisedOnScreen(Owner())) return;
    const bool stale = preview_.Fit();
    if (wanted_)
        StartDecode(*wanted_, wantedQuiet_);
    else if (stale || !preview_.ShownBitmap()) // a new size, after a hide, or the built-in picture at first
        StartDecode(shownPath_, true);
}

void PicturePage::StartDecode(const std::wstring& path, bool quiet) {
    RECT pane{};
    GetClientRect(P_back, &pane);
    // The same picture at the same size asked for again (another layout) waits for the decode that runs.
    if (decoding_.generation && decoding_.path == path && decoding_.paneW == pane.right &&
        decoding_.paneH == pane.bottom)
        return;
    decoding_ = {work_->Decode(path, pane.right, pane.bottom), path, pane.right, pane.bottom, quiet};
}

void PicturePage::PictureDecoded(uint32_t generation) {
    std::optional<PictureWork::Decoded> decoded = work_->TakeDecoded(generation);
    if (!decoded || generation != decoding_.generation) return; // overtaken by a newer choice
    DecodeJob job = std::exchange(decoding_, {});
    const bool chosen = wanted_ && *wanted_ == job.path;
    if (chosen) wanted_.reset();
    if (!decoded->preview) {
        // The preview keeps the picture it had; a picture the user chose says why it is not shown.
        if (chosen && !job.quiet && !decoded->why.empty()) Report(decoded->why);
        return;
    }
    shownPath_ = job.path;
    preview_.Show(std::move(decoded->preview), decoded->full);
    UpdatePreview(); // the pane may have changed meanwhile
}

void PicturePage::设置墙纸(bool report, bool remember) {
    if (!work_) return;
    PictureWork::SetRequest request;
    request.path = wanted_.value_or(shownPath_);
    // Pressed while a chosen picture loads: should that one not decode, the one shown is set.
    if (wanted_ && report) request.fallback = shownPath_;
    request.bitmapPath = places_.WallpaperBitmapPath;
    request.position = settings_.Position;
    request.screen = ScreenFor(settings_.Position);
    request.report = report;
    request.remember = remember;
    setsAsked_ = work_->Set(std::move(request));
}

void PicturePage::WallpaperSet(uint32_t) {
    bool remembered = false;
    for (PictureWork::SetResult& result : work_->TakeSetResults()) {
        setsDone_ = result.set;
        if (result.report && !result.error.empty()) Report(result.error);
        if (result.monitors) {
            // Each monitor's picture is kept for it; the history takes the whole arrangement.
            for (const MonitorPicture& m : *result.monitors)
                settings::SaveSetting(places_.ProgramFolder, SectionMonitorPictures, m.monitor, m.path);
            if (result.remember && !result.monitors->empty()) {
                LoadHistory();
                history_.Add(*result.monitors);
                remembered = true;
            }
            continue;
        }
        // The built-in picture has no file to go back to.
        if (result.error.empty() && result.remember && !result.path.empty()) {
            LoadHistory();
            history_.Add({{L"", result.path}});
            remembered = true;
        }
    }
    // A write that fails leaves the history in memory; the next wallpaper set writes it whole again.
    if (remembered && !places_.HistoryPath.empty()) core::WriteProgramFile(places_.HistoryPath, history_.Text());
}

void PicturePage::LoadHistory() {
    if (std::exchange(historyLoaded_, true) || places_.HistoryPath.empty()) return;
    if (auto text = platform::ReadWholeText(places_.HistoryPath)) history_ = WallpaperHistory::Parse(*text);
}

std::vector<std::wstring> PicturePage::WallpapersShown() {
    std::vector<std::wstring> paths;
    for (const MonitorPicture& m : ArrangementShown())
        paths.push_back(m.path);
    return paths;
}

Arrangement PicturePage::ArrangementShown() {
    LoadHistory();
    return history_.Entries().empty() ? Arrangement{} : history_.Entries()[history_.Current()];
}

bool PicturePage::CanGoBack() {
    LoadHistory();
    return history_.CanGoBack([this](const std::wstring& p) { return Showable(p); });
}

bool PicturePage::GoBack() {
    LoadHistory();
    std::optional<Arrangement> wallpaper = history_.Back([this](const std::wstring& p) { return Showable(p); });
    if (wallpaper) SetRemembered(*wallpaper);
    return wallpaper.has_value();
}

bool PicturePage::GoForward() {
    LoadHistory();
    std::optional<Arrangement> wallpaper = history_.Forward([this](const std::wstring& p) { return Showable(p); });
    if (wallpaper) SetRemembered(*wallpaper);
    return wallpaper.has_value();
}

void PicturePage::SetRemembered(const Arrangement& wallpaper) {
    if (wallpaper.empty()) return;
    const std::wstring& path = wallpaper.front().path;
    if (!wallpaper.front().monitor.empty()) {
        // One picture a monitor: each monitor there still gets its own again.
        std::vector<Monitor> monitors = Monitors();
        std::vector<std::optional<std::wstring>> pictures(monitors.size());
        for (size_t i = 0; i < monitors.size(); ++i)
            for (const MonitorPicture& m : wallpaper)
                if (m.monitor == MonitorKey(monitors[i])) pictures[i] = m.path;
        SetOnMonitors(monitors, pictures, false, false);
        return;
    }
    ShowAndSet(path, false);
}

void PicturePage::ShowAndSet(const std::wstring& path, bool remember) {
    // Selected in the list where it is one of its pictures, as the automatic change selects.
    const std::wstring folder = JoinPath(path_, L"");
    LRESULT index = LB_ERR;
    if (!path_.empty() && path.size() > folder.size() &&
        CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(), -1, TRUE) ==
            CSTR_EQUAL)
        index = SendMessageW(File1, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(path.c_str() + folder.size()));
    if (index != LB_ERR) {
        SetListIndexForWallpaper(static_cast<int>(index));
    } else {
        SetWindowTextW(Owner(), (L"Tavolin－" + path).c_str());
        加载图片(path, true);
    }
    设置墙纸(false, remember);
}

void PicturePage::CancelPictureWork() {
    if (!work_) return;
    work_->CancelWaiting();
    decoding_ = {};
    setsDone_ = setsAsked_;
}

void PicturePage::PositionChanged() {
    // Another program's wallpaper stays; ours is set again in its new place.
    if (!IsCurrentWallpaper(places_.WallpaperBitmapPath)) return;
    if (!EachMonitor()) return Command2_Click();
    std::vector<Monitor> monitors = Monitors();
    SetOnMonitors(monitors, std::vector<std::optional<std::wstring>>(monitors.size()), true, false);
}

void PicturePage::Command1_Click() {
    std::wstring folder = BrowseForFolder(Owner());
    if (folder.empty()) return;
    if (!SetPath(folder)) {
        Report(L"文件夹不存在：" + folder);
        return;
    }
    SaveFolder(folder);
}

void PicturePage::Command3_Click() {
    // Only an existing default folder is taken; this button does not create it.
    const std::wstring& folder = places_.PictureFolder;
    if (!FolderExists(folder)) return;
    SetPath(folder);
    SaveFolder(folder);
}

void PicturePage::Command2_Click() {
    if (!EachMonitor()) return 设置墙纸(true);
    // Each monitor its own: the one that holds the larger part of this window, the one looked at.
    std::vector<Monitor> monitors = Monitors();
    MONITORINFO info{sizeof info};
    GetMonitorInfoW(MonitorFromWindow(Owner(), MONITOR_DEFAULTTONEAREST), &info);
    const MonitorRect looked{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                             info.rcMonitor.bottom};
    std::vector<std::optional<std::wstring>> pictures(monitors.size());
    for (size_t i = 0; i < monitors.size(); ++i)
        if (monitors[i].rect == looked) pictures[i] = CurrentPicture();
    SetOnMonitors(monitors, pictures, true, true);
}

void PicturePage::menu删除文件jpg_Click() {
    int index = ListIndex();
    if (index == -1 || ListCount() == 0) return;
    std::wstring error = DeletePicture(JoinPath(path_, List(index)));
    Refresh();
    if (!error.empty()) Report(error);
}

void PicturePage::File1_ContextMenu(LPARAM screenPoint) {
    POINT at{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    if (screenPoint == -1) { // from the keyboard: at the list's corner
        RECT r;
        GetWindowRect(File1, &r);
        at = {r.left, r.top};
    }
    // "设为墙纸": all monitors, then each, left to right, then top to bottom.
    HMENU setOn = GetSubMenu(FlieL, 0);
    while (GetMenuItemCount(setOn) > 1)
        DeleteMenu(setOn, 1, MF_BYPOSITION);
    menuMonitors_ = Monitors();
    for (size_t i = 0; i < menuMonitors_.size() && ID_FlieL显示器 + i <= ID_FlieL显示器Last; ++i)
        AppendMenuW(setOn, MF_STRING, ID_FlieL显示器 + i,
                    MonitorLabel(menuMonitors_[i], static_cast<int>(i) + 1).c_str());
    ShowMarkItems();
    CheckMenuRadioItem(FlieL, ID_FlieL缩略图, ID_FlieL列表,
                       settings_.Thumbnails ? ID_FlieL缩略图 : ID_FlieL列表, MF_BYCOMMAND);
    TrackPopupMenu(FlieL, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Owner(), nullptr);
}

void PicturePage::SaveFolder(const std::wstring& folder) {
    settings_.WallpaperFolder = folder;
    settings::SaveSetting(places_.ProgramFolder, settings::SectionSettings, settings::KeyWallpaperFolder,
                          folder);
}

HWND PicturePage::Owner() const {
    return GetAncestor(hwnd(), GA_ROOT);
}

void PicturePage::Report(const std::wstring& error) {
    // Timer ticks go on while a box is open; their failures must not pile up more boxes.
    if (reporting_) return;
    reporting_ = true;
    platform::Message(Owner(), error, MB_OK | MB_ICONWARNING);
    reporting_ = false;
}

bool PicturePage::OnCommand(int id, int code, HWND) {
    if (id >= ID_FlieL显示器 && id <= ID_FlieL显示器Last) return SetForMonitor(id - ID_FlieL显示器), true;
    switch (id) {
    case IDC_File1:
        if (code == LBN_SELCHANGE) File1_Click();
        return true;
    case IDC_Command1:
        if (code == BN_CLICKED) Command1_Click();
        return true;
    case IDC_Command3:
        if (code == BN_CLICKED) Command3_Click();
        return true;
    case IDC_Command2:
        if (code == BN_CLICKED) Command2_Click();
        return true;
    case IDC_Command5:
        if (code == BN_CLICKED) Command5_Click();
        return true;
    case ID_FlieL刷新:
        Refresh();
        return true;
    case ID_FlieL缩略图:
    case ID_FlieL列表:
        SetView(id == ID_FlieL缩略图);
        return true;
    case ID_FlieL所有显示器:
        SetForMonitor(-1);
        return true;
    case ID_menu删除文件jpg:
        menu删除文件jpg_Click();
        return true;
    }
    return false;
}

LRESULT PicturePage::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    bool handled = false;
    if (LRESULT result = ThumbnailMessage(msg, wp, lp, handled); handled) return result;
    switch (msg) {
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wp) == File1) return File1_ContextMenu(lp), 0;
        break;
    case WM_VKEYTOITEM:
        if (reinterpret_cast<HWND>(lp) == File1) return File1_KeyDown(LOWORD(wp));
        break;
    case WM_DESTROY:
        if (dropTarget_) dropTarget_->Revoke();
        break;
    case WM_PICTURE_DECODED:
        PictureDecoded(static_cast<uint32_t>(wp));
        return 0;
    case WM_WALLPAPER_SET:
        WallpaperSet(static_cast<uint32_t>(wp));
        return 0;
    case WM_PICTURES_LISTED:
        PicturesListed(static_cast<uint32_t>(wp));
        return 0;
    case WM_PICTURES_RATED:
        PicturesRated(static_cast<uint32_t>(wp));
        return 0;
    case WM_NOTIFY: {
        auto* tip = reinterpret_cast<NMTTDISPINFOW*>(lp);
        if (tip->hdr.hwndFrom == tip_ && tip->hdr.code == TTN_GETDISPINFOW) {
            tipText_ = tip->hdr.idFrom == reinterpret_cast<UINT_PTR>(P_back) ? PreviewTip() : L"当前文件夹：" + path_;
            tip->lpszText = tipText_.data();
            return 0;
        }
        break;
    }
    }
    return TabPage::HandleMessage(msg, wp, lp);
}

} // namespace wallpaper
