#include "app/form_main.h"

#include "core/identity.h"
#include "app/tray.h"
#include "desktop/desktop_icons.h"
#include "res/resource.h"
#include "settings/form_option.h"
#include "settings/registry.h"
#include "settings/settings_store.h"
#include "wallpaper/picture_list.h"

#include <commctrl.h>
#include <shlobj.h>

namespace app {
using namespace core;
using namespace ui;
namespace {

constexpr wchar_t MainClass[] = L"TavolinMainWindow";
constexpr wchar_t ShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr int DesignWidth = 9705, DesignHeight = 4815; // client area, twips

std::wstring KnownFolder(int csidl) {
    wchar_t buf[MAX_PATH] = L"";
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf)) ? buf : L"";
}

std::wstring TrimTrailing(std::wstring s) {
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\0')) s.pop_back();
    return s;
}

HFONT CreateUiFont(UINT dpi) {
    NONCLIENTMETRICSW ncm{sizeof ncm};
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0, dpi)) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
        ncm.lfMessageFont.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
    }
    return CreateFontIndirectW(&ncm.lfMessageFont);
}

} // namespace

bool FormMain::Create() {
    wchar_t exe[MAX_PATH * 2] = L"";
    GetModuleFileNameW(nullptr, exe, ARRAYSIZE(exe));
    ProgramFolder = FolderPart(exe);
    if (!ProgramFolder.empty()) ProgramFolder.pop_back();
    ExecutableName = NamePart(exe);
    if (ExecutableName.size() > 4 && _wcsicmp(ExecutableName.c_str() + ExecutableName.size() - 4, L".exe") == 0)
        ExecutableName.resize(ExecutableName.size() - 4);

    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                               0, 0, LR_DEFAULTSIZE | LR_SHARED));
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
                 reinterpret_cast<LPARAM>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                     LR_SHARED)));
    // A window created on another monitor may already have another DPI.
    if (UINT actual = GetDpiForWindow(hwnd()); actual && actual != dpi_) ApplyDpi(actual);
    Form_Load();
    return true;
}

void FormMain::CreateChildren() {
    font_.reset(CreateUiFont(dpi_));
    auto font = static_cast<HFONT>(font_.get());
    SSTab1 = CreateControl(hwnd(), IDC_SSTab1, WC_TABCONTROLW, L"", WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP);
    SetFont(SSTab1, font);
    int i = 0;
    for (const wchar_t* caption : {L"桌面文件", L"墙纸和看图", L"文件操作监视", L"关于"}) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(caption);
        TabCtrl_InsertItem(SSTab1, i++, &item);
    }
    browser.Build(hwnd(), IDC_Page0, font, dpi_);
    pictures.Build(hwnd(), IDC_Page1, font, dpi_);
    monitor.Build(hwnd(), IDC_Page2, font, dpi_);
    about.Build(hwnd(), IDC_Page3, font, dpi_);
    // The pages lie over the tab control's display area.
    SetWindowPos(SSTab1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TabPage* FormMain::Page(int index) {
    switch (index) {
    case 0: return &browser;
    case 1: return &pictures;
    case 2: return &monitor;
    case 3: return &about;
    }
    return nullptr;
}

void FormMain::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    font_.reset(CreateUiFont(dpi));
    auto font = static_cast<HFONT>(font_.get());
    SetFont(SSTab1, font);
    for (int i = 0; i < 4; ++i) Page(i)->Reposition(dpi, font);
}

// ---- start-up ---------------------------------------------------------------------------------

void FormMain::Form_Load() {
    // 1. An earlier copy is asked to end; ours takes its place.
    if (earlierCopyRunning_) ReplaceEarlierInstance(hwnd(), ApplicationTitle);
    titleWindow_.Create(hwnd(), ApplicationTitle);
    // 2. The popup menus live apart from any menu bar.
    popups_.reset(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_POPUPS)));
    menu托盘 = GetSubMenu(popups_.get(), POPUP_TRAY);
    FlieL = GetSubMenu(popups_.get(), POPUP_FLIEL);
    LV = GetSubMenu(popups_.get(), POPUP_LV);
    // 3.
    folderPaths.Windows = 获取系统文件夹路径();
    WallpaperBitmapPath = folderPaths.Windows + WallpaperFileName;
    // 4.
    AppSettings = settings::LoadAppSettings(ProgramFolder);
    // 5. and 6. The browser starts on the desktop.
    folderPaths.Desktop = 获取桌面路径();
    browser.StartUp(folderPaths);
    // 7.
    ChoosePictureFolder();
    // 8.
    SetWindowTextW(hwnd(), MainCaption().c_str());
    // 9.
    menu隐藏桌面图标_Click();
    // 10.
    SetWindowTextW(about.lblVersion, VersionLabel().c_str());
    // 11.
    AddTrayIcon(hwnd(), menu托盘);
    SetTrayTip(ApplicationTitle);
    // 12.
    wchar_t temp[MAX_PATH * 2] = L"";
    DWORD n = GetEnvironmentVariableW(L"TEMP", temp, ARRAYSIZE(temp));
    folderPaths.Temp = n && n < ARRAYSIZE(temp) ? temp : L"";
    folderPaths.BrowserCache = settings::GetRegistryString(
        HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths",
        L"Directory");
    if (folderPaths.BrowserCache.empty()) folderPaths.BrowserCache = KnownFolder(CSIDL_INTERNET_CACHE);
    folderPaths.Documents = settings::GetRegistryString(HKEY_CURRENT_USER, ShellFolders, L"Personal");
    if (folderPaths.Documents.empty()) folderPaths.Documents = KnownFolder(CSIDL_PERSONAL);
    folderPaths.System = GetSysDir();

    TabCtrl_SetCurSel(SSTab1, 0);
    // 13.
    OpenCommandLinePicture();

    Form_Resize();
    if (AppSettings.HideAtStart != 1) {
        ShowWindow(hwnd(), SW_SHOWNORMAL);
        UpdateWindow(hwnd());
    }
}

void FormMain::ChoosePictureFolder() {
    std::wstring preferred = ProgramFolder + PictureFolderName;
    for (const std::wstring& folder : {AppSettings.WallpaperFolder, preferred, ProgramFolder})
        if (pictures.SetPath(folder)) break;
    AppSettings.WallpaperFolder = pictures.Path();
}

void FormMain::OpenCommandLinePicture() {
    std::wstring path = CommandLinePicture(GetCommandLineW());
    if (path.empty()) return;
    SetWindowTextW(hwnd(), (L"Tavolin-" + path).c_str());
    TabCtrl_SetCurSel(SSTab1, 1);
    SSTab1_Click();
    加载图片(path);
    // A folder that does not exist leaves the list where it was.
    std::wstring folder = FolderPart(path);
    if (!folder.empty()) pictures.SetPath(folder);
}

std::wstring FormMain::获取系统文件夹路径() const {
    wchar_t buf[MAX_PATH] = L"";
    UINT n = GetWindowsDirectoryW(buf, ARRAYSIZE(buf));
    if (n && n < ARRAYSIZE(buf)) return TrimTrailing(buf);
    // Without it the wallpaper file would land in the working folder; the system root is the same place.
    n = GetEnvironmentVariableW(L"SystemRoot", buf, ARRAYSIZE(buf));
    return n && n < ARRAYSIZE(buf) ? buf : L"C:\\Windows";
}

std::wstring FormMain::GetSysDir() const {
    wchar_t buf[MAX_PATH] = L"";
    UINT n = GetSystemDirectoryW(buf, ARRAYSIZE(buf));
    return n && n < ARRAYSIZE(buf) ? std::wstring(buf, n) : std::wstring();
}

std::wstring FormMain::获取桌面路径() const {
    std::wstring path = settings::GetRegistryString(HKEY_CURRENT_USER, ShellFolders, L"Desktop");
    return path.empty() ? KnownFolder(CSIDL_DESKTOPDIRECTORY) : path;
}

// ---- desktop icons ----------------------------------------------------------------------------

void FormMain::menu隐藏桌面图标_Click() { desktop::HideDesktopIcons(); }

void FormMain::menu显示桌面图标_Click() {
    browser.RefreshLists();
    desktop::ShowDesktopIcons();
}

void FormMain::menu设置_Click() {
    settings::FormOption dialog(AppSettings, ProgramFolder, ExecutableName);
    dialog.ShowModal(hwnd());
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
        if (i != current) {
            ShowWindow(page->hwnd(), SW_HIDE);
            continue;
        }
        SetWindowPos(page->hwnd(), HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
        layout::Size frame = TabPage::Frame.FrameSize({platform::PixelsToTwips(area.right - area.left, dpi_),
                                                       platform::PixelsToTwips(area.bottom - area.top, dpi_)});
        page->Layout(frame.width, frame.height, dpi_);
    }
    if (current == 1) 加载图片(L"");
}

void FormMain::SSTab1_Click() { 调整其他窗口大小(); }

// ---- pictures ---------------------------------------------------------------------------------

void FormMain::加载图片(const std::wstring& path) { pictures.加载图片(path, MinimisedOnScreen(hwnd())); }

bool FormMain::设置墙纸(std::wstring* error) { return pictures.设置墙纸(WallpaperBitmapPath, error); }

// ---- exit ---------------------------------------------------------------------------------------

void FormMain::menu退出_Click() { SetTimerEnabled(TimerOut, true); }

void FormMain::TimerOut_Timer() {
    SetTimerEnabled(TimerOut, false);
    ExitRequested = true;
    SendMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void FormMain::Form_Unload() {
    if (!ExitRequested) {
        ShowWindow(hwnd(), SW_HIDE);
        return;
    }
    ExitPath();
    DestroyWindow(hwnd());
}

void FormMain::ExitPath() {
    // Every step runs whatever the one before did.
    SetTimerEnabled(Timer1, false);
    menu显示桌面图标_Click();
    RemoveTrayIcon();
    if (titleWindow_.hwnd()) DestroyWindow(titleWindow_.hwnd());
}

void FormMain::menu显示界面_Click() { ShowMainWindow(hwnd()); }

void FormMain::BringUpMainWindow() { ShowMainWindow(hwnd()); }

void FormMain::ShowBrowserTab() {
    if (TabCtrl_GetCurSel(SSTab1) == 0) return;
    TabCtrl_SetCurSel(SSTab1, 0);
    SSTab1_Click();
}

void FormMain::SetTimerEnabled(TimerId id, bool on) {
    static constexpr UINT interval[] = {0, 1000, 1000, 100, 100};
    timerOn_[id] = on;
    if (on)
        SetTimer(hwnd(), id, interval[id], nullptr);
    else
        KillTimer(hwnd(), id);
}

// ---- messages -----------------------------------------------------------------------------------

void FormMain::OnCommand(int id, int code, HWND control) {
    switch (id) {
    case ID_menu显示界面: menu显示界面_Click(); break;
    case ID_menu退出: menu退出_Click(); break;
    case ID_menu隐藏桌面图标:
    case ID_隐藏桌面图标dfdsfds: menu隐藏桌面图标_Click(); break;
    case ID_menu显示桌面图标:
    case ID_dfdsds显示桌面图标: menu显示桌面图标_Click(); break;
    case ID_menu设置:
    case ID_mmmm设置: menu设置_Click(); break;
    case ID_menu自动更换壁纸: autoChange.menu自动更换壁纸_Click(); break;
    case ID_menu循环看图: autoChange.menu循环看图_Click(); break;
    case ID_menu停止: autoChange.menu停止_Click(); break;
    case IDC_Command4:
        if (code == BN_CLICKED) autoChange.Command4_Click();
        break;
    case IDC_Command6:
        if (code == BN_CLICKED) autoChange.Command6_Click();
        break;
    default:
        for (int i = 0; i < 4; ++i)
            if (Page(i)->OnCommand(id, code, control)) break;
    }
}

LRESULT FormMain::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
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
        if (wp == Timer1) autoChange.Timer1_Timer();
        if (wp == TimerKT) autoChange.TimerKT_Timer();
        if (wp == TimerOut) TimerOut_Timer();
        return 0;
    case WM_CLOSE:
        Form_Unload();
        return 0;
    case WM_APP_EXIT_REQUEST:
        // A later copy takes over: end the same way as "退出".
        menu退出_Click();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wp) {
            ExitRequested = true;
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
