#include "app/form_main.h"

#include "core/identity.h"
#include "desktop/desktop_icons.h"
#include "platform/accessible_name.h"
#include "res/resource.h"
#include "settings/form_option.h"
#include "settings/settings_store.h"
#include "wallpaper/page/day_night.h"
#include "wallpaper/pictures/picture.h"
#include "wallpaper/pictures/picture_names.h"

#include <commctrl.h>
#include <random>

namespace app {
using namespace core;
using namespace ui;
namespace {

constexpr wchar_t MainClass[] = L"TavolinMainWindow";
constexpr int DesignWidth = 9705, DesignHeight = 4815; // client area, twips
} // namespace

FormMain::FormMain(bool earlierCopyRunning, core::ProgramPlaces places)
    : places_(std::move(places)), browser_(*this), pictures_(*this, settings_, places_),
      autoChange_(*this, pictures_, settings_, std::random_device{}() ^ GetTickCount64()),
      earlierCopyRunning_(earlierCopyRunning) {}

bool FormMain::Create() {
    FindProgramPlaces(places_);
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP),
                                               IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    RegisterClass(MainClass, icon, GetSysColorBrush(COLOR_BTNFACE));
    dpi_ = GetDpiForSystem();
    RECT r{0, 0, platform::Twips(DesignWidth, dpi_), platform::Twips(DesignHeight, dpi_)};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRectExForDpi(&r, style, FALSE, 0, dpi_);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int w = r.right - r.left, h = r.bottom - r.top;
    int x = work.left + (work.right - work.left - w) / 2, y = work.top + (work.bottom - work.top - h) / 2;
    if (!Window::Create(MainClass, L"Tavolin", style, WS_EX_CONTROLPARENT, x, y, w, h, nullptr, nullptr))
        return false;
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP),
                                                     IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                     GetSystemMetrics(SM_CYSMICON), LR_SHARED)));
    // A window created on another monitor may already have another DPI.
    if (UINT actual = GetDpiForWindow(hwnd()); actual && actual != dpi_) ApplyDpi(actual);
    Form_Load();
    return true;
}

void FormMain::CreateChildren() {
    font_.reset(platform::CreateUiFont(dpi_));
    auto font = static_cast<HFONT>(font_.get());
    SSTab1 =
        CreateControl(hwnd(), IDC_SSTab1, WC_TABCONTROLW, L"", WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP);
    SetFont(SSTab1, font);
    platform::SetAccessibleName(SSTab1, L"选项卡");
    int i = 0;
    for (const wchar_t* caption : {L"桌面文件", L"墙纸和看图", L"文件操作监视", L"关于"}) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(caption);
        TabCtrl_InsertItem(SSTab1, i++, &item);
    }
    // Only the first tab is seen at start-up; the others follow once the window shows.
    browser_.Build(hwnd(), IDC_Page0, font, dpi_);
    // The pages lie over the tab control's display area.
    SetWindowPos(SSTab1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool FormMain::BuildNextPage() {
    auto font = static_cast<HFONT>(font_.get());
    switch (pagesBuilt_) {
    case 1:
        browser_.FinishBuild();
        // The kinds of picture the system decodes are asked for once; every folder is listed by them.
        wallpaper::UsePictureExtensions(
            wallpaper::PictureExtensionSet(wallpaper::InstalledDecoderExtensions()));
        pictures_.Build(hwnd(), IDC_Page1, font, dpi_);
        pictures_.ShowFirstFolder({settings_.WallpaperFolder, places_.PictureFolder, places_.ProgramFolder});
        // Monitors that differ from those the pictures were set for get theirs now, and the picture
        // of the day or the night.
        autoChange_.DisplaysChanged();
        autoChange_.CheckPhase();
        daily_.Start();
        break;
    case 2:
        monitor_.Build(hwnd(), IDC_Page2, font, dpi_);
        break;
    case 3:
        about_.Build(hwnd(), IDC_Page3, font, dpi_);
        SetWindowTextW(about_.lblVersion, VersionLabel().c_str());
        break;
    default:
        return false;
    }
    return ++pagesBuilt_ < 4;
}

void FormMain::BuildHiddenPages() {
    if (pagesBuilt_ == 4 || !SSTab1) return;
    while (BuildNextPage()) {
    }
    调整其他窗口大小();
}

TabPage* FormMain::Page(int index) {
    switch (index) {
    case 0:
        return &browser_;
    case 1:
        return &pictures_;
    case 2:
        return &monitor_;
    case 3:
        return &about_;
    }
    return nullptr;
}

void FormMain::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    font_.reset(platform::CreateUiFont(dpi));
    auto font = static_cast<HFONT>(font_.get());
    SetFont(SSTab1, font);
    for (int i = 0; i < pagesBuilt_; ++i)
        Page(i)->Reposition(dpi, font);
}

// ---- start-up ---------------------------------------------------------------------------------

void FormMain::Form_Load() {
    // An earlier copy is asked to end; ours takes its place.
    if (earlierCopyRunning_) ReplaceEarlierInstance(hwnd(), ApplicationTitle);
    titleWindow_.Create(hwnd(), ApplicationTitle);
    // The tray menu lives apart from any menu bar.
    popups_.reset(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUPS)));
    menu托盘 = GetSubMenu(popups_.get(), POPUP_TRAY);
    currentMenu_ = std::make_unique<CurrentWallpaperMenu>(menu托盘, pictures_, autoChange_, places_.WallpaperBitmapPath);
    // The Windows folder, which receives the wallpaper bitmap.
    folderPaths_.Windows = 获取系统文件夹路径();
    FindUserFiles(places_, folderPaths_.Windows);
    settings_ = settings::LoadAppSettings(places_.ProgramFolder);
    autoChange_.Attach();
    // The browser starts on the desktop.
    folderPaths_.Desktop = 获取桌面路径();
    browser_.StartUp(folderPaths_);
    SetWindowTextW(hwnd(), MainCaption().c_str());
    // While the program runs, its browser stands in for the desktop's icons.
    menu隐藏桌面图标_Click();
    AddTrayIcon(hwnd(), menu托盘);
    SetTrayTip(ApplicationTitle);
    FindSpecialFolders(folderPaths_);

    TabCtrl_SetCurSel(SSTab1, 0);
    // A picture named on the command line (the ".jpg"/".bmp" association) is shown last.
    OpenCommandLinePicture();

    Form_Resize();
    // The window paints and answers before the other tabs are built, one a timer tick: a timer's turn
    // comes after painting and after whatever the user does.
    if (settings_.HideAtStart != 1)
        ShowWindow(hwnd(), SW_SHOWNORMAL);
    else {
        browser_.SetWindowShown(false);
        pictures_.SetWindowShown(false);
    }
    SetTimer(hwnd(), TimerBuildPages, USER_TIMER_MINIMUM, nullptr);
}

void FormMain::OpenCommandLinePicture() {
    std::wstring path = CommandLinePicture(GetCommandLineW());
    if (path.empty()) return;
    BuildHiddenPages();
    SetWindowTextW(hwnd(), (L"Tavolin-" + path).c_str());
    TabCtrl_SetCurSel(SSTab1, 1);
    SSTab1_Click();
    加载图片(path);
    // A folder that does not exist leaves the list where it was.
    std::wstring folder = FolderPart(path);
    if (!folder.empty()) pictures_.SetPath(folder);
}

// ---- desktop icons ----------------------------------------------------------------------------

void FormMain::menu隐藏桌面图标_Click() {
    desktop::HideDesktopIcons();
}

void FormMain::menu显示桌面图标_Click() {
    browser_.RefreshLists();
    desktop::ShowDesktopIcons();
}

void FormMain::menu设置_Click() {
    const settings::AppSettings before = settings_;
    settings::FormOption dialog(
        settings_, places_.ProgramFolder, places_.ExecutableName, {}, [this] { pictures_.PositionChanged(); },
        [this](uint16_t next, uint16_t previous) { return RegisterHotkeys(next, previous); },
        wallpaper::SunTimesToday);
    dialog.ShowModal(hwnd());
    if (!IsWindow(hwnd())) return;
    if (settings_.Subfolders != before.Subfolders || settings_.Daily != before.Daily ||
        (settings_.Time == settings::TimeMode::None) != (before.Time == settings::TimeMode::None))
        pictures_.Refresh();
    if (before.Monitors == settings::MonitorMode::Each && settings_.Monitors == settings::MonitorMode::Same)
        pictures_.BackToOnePicture();
    autoChange_.SettingsChanged();
    daily_.SettingsChanged(before.Daily);
}

bool FormMain::ShowOptions() {
    menu设置_Click();
    return IsWindow(hwnd());
}

void FormMain::ClearDesktop() {
    menu隐藏桌面图标_Click();
    desktop::SendShowDesktopKeys();
    ShowWindow(hwnd(), SW_HIDE);
}

bool FormMain::SlideshowCanRun() const {
    return TabCtrl_GetCurSel(SSTab1) == 1 && IsWindowVisible(hwnd()) && !IsIconic(hwnd());
}

// ---- layout -----------------------------------------------------------------------------------

void FormMain::Form_Resize() {
    if (IsIconic(hwnd()) || !SSTab1) return;
    RECT wr;
    GetWindowRect(hwnd(), &wr);
    layout::Size window{platform::PixelsToTwips(wr.right - wr.left, dpi_),
                        platform::PixelsToTwips(wr.bottom - wr.top, dpi_)};
    layout::Size wanted = layout::ClampToMinimum(window);
    if (!(wanted == window)) {
        // Snapping back resizes the window again, which lays it out. Rounded up, so the
        // new size is never a pixel short of the minimum.
        auto up = [&](int twips) { return (twips * static_cast<int>(dpi_) + 1439) / 1440; };
        int w = wanted.width != window.width ? up(wanted.width) : wr.right - wr.left;
        int h = wanted.height != window.height ? up(wanted.height) : wr.bottom - wr.top;
        SetWindowPos(hwnd(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    layout::Rect tab = layout::TabControl(window);
    RECT client;
    GetClientRect(hwnd(), &client);
    // The tab control never reaches past the client area, whatever the frame's thickness.
    int x = platform::Twips(tab.left, dpi_), y = platform::Twips(tab.top, dpi_);
    int w = std::min(platform::Twips(tab.width, dpi_), static_cast<int>(client.right) - x - x);
    int h = std::min(platform::Twips(tab.height, dpi_), static_cast<int>(client.bottom) - y - x);
    SetWindowPos(SSTab1, nullptr, x, y, std::max(w, 0), std::max(h, 0), SWP_NOZORDER | SWP_NOACTIVATE);
    调整其他窗口大小();
}

void FormMain::调整其他窗口大小() {
    int current = TabCtrl_GetCurSel(SSTab1);
    RECT area;
    GetClientRect(SSTab1, &area);
    TabCtrl_AdjustRect(SSTab1, FALSE, &area);
    MapWindowPoints(SSTab1, hwnd(), reinterpret_cast<POINT*>(&area), 2);
    for (int i = 0; i < 4; ++i) {
        TabPage* page = Page(i);
        if (!page->hwnd()) continue;
        if (i != current) {
            ShowWindow(page->hwnd(), SW_HIDE);
            continue;
        }
        SetWindowPos(page->hwnd(), HWND_TOP, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        layout::Size frame =
            TabPage::Frame.FrameSize({platform::PixelsToTwips(area.right - area.left, dpi_),
                                      platform::PixelsToTwips(area.bottom - area.top, dpi_)});
        page->Layout(frame.width, frame.height, dpi_);
    }
    if (current == 1) 加载图片(L"");
}

void FormMain::SSTab1_Click() {
    调整其他窗口大小();
}

// ---- keyboard -----------------------------------------------------------------------------------

bool FormMain::TranslateKeys(MSG& msg) {
    if (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd)) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        // Once the keyboard is used, the focus shows wherever it goes.
        if (SendMessageW(hwnd(), WM_QUERYUISTATE, 0, 0) & (UISF_HIDEFOCUS | UISF_HIDEACCEL))
            SendMessageW(hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    }
    if (msg.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) {
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        int step = msg.wParam == VK_TAB     ? (shift ? -1 : 1)
                   : shift                  ? 0
                   : msg.wParam == VK_NEXT  ? 1
                   : msg.wParam == VK_PRIOR ? -1
                                            : 0;
        if (step) {
            StepTab(step);
            return true;
        }
    }
    return IsDialogMessageW(hwnd(), &msg);
}

void FormMain::StepTab(int step) {
    BuildHiddenPages();
    const int count = TabCtrl_GetItemCount(SSTab1);
    const int next = ((TabCtrl_GetCurSel(SSTab1) + step) % count + count) % count;
    TabCtrl_SetCurSel(SSTab1, next);
    SSTab1_Click();
    // A tab with nothing to focus keeps the focus on the tab strip.
    HWND page = Page(next)->hwnd();
    HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
    SetFocus(first && IsChild(page, first) ? first : SSTab1);
}

// ---- exit ---------------------------------------------------------------------------------------

void FormMain::menu退出_Click() {
    SetTimerEnabled(TimerOut, true);
}

void FormMain::TimerOut_Timer() {
    SetTimerEnabled(TimerOut, false);
    exitRequested_ = true;
    SendMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void FormMain::Form_Unload() {
    if (!exitRequested_) {
        ShowWindow(hwnd(), SW_HIDE);
        return;
    }
    ExitPath();
    DestroyWindow(hwnd());
}

void FormMain::ExitPath() {
    // Every step runs whatever the one before did.
    autoChange_.Detach();
    daily_.Stop(); // a download in flight ends now, its temporary file with it
    // Pictures waiting to be decoded or set are dropped; a bitmap being written ends whole.
    pictures_.CancelPictureWork();
    // The monitor's procedure stands in front of the tray's: it goes first.
    monitor_.Command9_Click();
    menu显示桌面图标_Click();
    RemoveTrayIcon();
    if (titleWindow_.hwnd()) DestroyWindow(titleWindow_.hwnd());
}

void FormMain::menu显示界面_Click() {
    ShowMainWindow(hwnd());
}

void FormMain::BringUpMainWindow() {
    ShowMainWindow(hwnd());
}

void FormMain::ShowBrowserTab() {
    if (TabCtrl_GetCurSel(SSTab1) == 0) return;
    TabCtrl_SetCurSel(SSTab1, 0);
    SSTab1_Click();
}

void FormMain::SetTimerEnabled(TimerId id, bool on) {
    static constexpr UINT interval[] = {0, 1000, 1000, 100, 100};
    timerOn_[id] = on;
    if (on)
        SetCoalescableTimer(hwnd(), id, interval[id], nullptr, TIMERV_DEFAULT_COALESCING);
    else
        KillTimer(hwnd(), id);
}

// ---- messages -----------------------------------------------------------------------------------

void FormMain::OnCommand(int id, int code, HWND control) {
    switch (id) {
    case ID_menu显示界面:
        menu显示界面_Click();
        break;
    case ID_menu退出:
        menu退出_Click();
        break;
    case ID_menu关于:
        menu关于_Click();
        break;
    case ID_menu隐藏桌面图标:
    case ID_隐藏桌面图标dfdsfds:
        menu隐藏桌面图标_Click();
        break;
    case ID_menu显示桌面图标:
    case ID_dfdsds显示桌面图标:
        menu显示桌面图标_Click();
        break;
    case ID_menu设置:
    case ID_mmmm设置:
        menu设置_Click();
        break;
    default:
        if (autoChange_.OnCommand(id, code) || currentMenu_->OnCommand(id, hwnd())) break;
        for (int i = 0; i < 4; ++i)
            if (Page(i)->OnCommand(id, code, control)) break;
    }
}

LRESULT FormMain::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // Whatever may reach a page that is not built yet builds it first; the first tab's own controls
    // and the tab control's other notices do not.
    switch (msg) {
    case WM_COMMAND:
        if (lp && IsChild(browser_.hwnd(), reinterpret_cast<HWND>(lp))) break;
        [[fallthrough]];
    case WM_TIMER:
        if (wp == TimerBuildPages) break;
        [[fallthrough]];
    case WM_CLOSE:
    case WM_ENDSESSION:
    case WM_APP_EXIT_REQUEST:
        BuildHiddenPages();
        break;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lp)->code == TCN_SELCHANGE) BuildHiddenPages();
        break;
    }
    if (LRESULT result; daily_.OnMessage(msg, wp, lp, result) || autoChange_.OnMessage(msg, wp, lp, result))
        return result;
    switch (msg) {
    case WM_CREATE:
        taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
        CreateChildren();
        return 0;
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED) Form_Resize();
        return 0;
    case WM_DPICHANGED: {
        ApplyDpi(HIWORD(wp));
        auto* r = reinterpret_cast<RECT*>(lp);
        SetWindowPos(hwnd(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_NOTIFY: {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        if (nm->idFrom == IDC_SSTab1 && nm->code == TCN_SELCHANGE) SSTab1_Click();
        return 0;
    }
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
    case WM_TIMER:
        if (wp == TimerOut) TimerOut_Timer();
        if (wp == TimerBuildPages && !BuildNextPage()) KillTimer(hwnd(), TimerBuildPages);
        return 0;
    case WM_SHOWWINDOW:
        // Hidden in the tray, the browser only keeps its watch, and the preview holds no picture.
        if (!lp) {
            browser_.SetWindowShown(wp != 0);
            pictures_.SetWindowShown(wp != 0);
        }
        break;
    case WM_CLOSE:
        Form_Unload();
        return 0;
    case WM_INITMENUPOPUP:
        if (reinterpret_cast<HMENU>(wp) != menu托盘) break;
        EnableMenuItem(menu托盘, ID_menu上一张墙纸, MF_BYCOMMAND | (pictures_.CanGoBack() ? MF_ENABLED : MF_GRAYED));
        currentMenu_->Fill();
        break;
    case WM_APP_EXIT_REQUEST:
        // A later copy takes over: end the same way as "退出".
        menu退出_Click();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wp) {
            exitRequested_ = true;
            ExitPath();
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    if (taskbarCreated_ && msg == taskbarCreated_) {
        RestoreTrayIcon();
        return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

} // namespace app
