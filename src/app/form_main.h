// The main window: start-up and shutdown, the tabs and their layout, the timers and the menus.
// It creates each tab's page, hands it what it reads and answers what it asks, and routes
// the window's messages to the page or mode they belong to.
#pragma once
#include "app/about_page.h"
#include "app/current_wallpaper_menu.h"
#include "app/program_places.h"
#include "app/single_instance.h"
#include "app/tray.h"
#include "browser/browser_page.h"
#include "core/folder_paths.h"
#include "core/identity.h"
#include "monitor/monitor_page.h"
#include "platform/window.h"
#include "settings/app_settings.h"
#include "ui/timers.h"
#include "wallpaper/page/auto_change.h"
#include "wallpaper/page/daily_pictures.h"
#include "wallpaper/page/folder_picker.h"
#include "wallpaper/page/picture_page.h"
#include "web/form_wb.h"

#include <memory>
#include <string>

namespace app {

class FormMain : public platform::Window,
                 browser::BrowserHost,
                 wallpaper::PictureHost,
                 wallpaper::AutoChangeHost,
                 wallpaper::DailyHost {
  public:
    // `places` may name the program folder and the wallpaper bitmap (tests put them in a folder of
    // their own); what it leaves empty is found at start-up.
    explicit FormMain(bool earlierCopyRunning, core::ProgramPlaces places = {});
    // Creates the window and runs the start-up sequence.
    bool Create();
    // The window's keys, before the message is dispatched: Ctrl+Tab and its kin change the tab, then
    // the dialog keys (Tab, Shift+Tab, arrows). True when the message was handled.
    bool TranslateKeys(MSG& msg);

    // Public operations
    std::wstring 获取系统文件夹路径() const { return WindowsFolder(); }
    std::wstring GetSysDir() const { return SystemFolder(); }
    std::wstring 获取桌面路径() const { return DesktopFolder(); }
    void 调整其他窗口大小();
    // Starts loading `path` (when not empty) into the preview and fits the current picture into it.
    void 加载图片(const std::wstring& path) { pictures_.加载图片(path); }
    // Makes the picture the preview shows or is loading the desktop wallpaper, in the background.
    void 设置墙纸() override { pictures_.设置墙纸(); }
    void SetTimerEnabled(ui::TimerId id, bool on) override;
    bool TimerEnabled(ui::TimerId id) const { return id == ui::Timer1 ? autoChange_.Running() : timerOn_[id]; }
    // Whether the system's timer runs: a running change stands still while the screen is dark.
    bool TimerTicking(ui::TimerId id) const { return id == ui::Timer1 ? autoChange_.Ticking() : timerOn_[id]; }
    HMENU TrayMenu() const override { return menu托盘; }
    // The hotkeys of "下一张墙纸" and "上一张墙纸" (as the hotkey control gives them; 0: none) are
    // registered for this window; an empty text, or the message naming a key another program holds,
    // with the keys as they were.
    std::wstring RegisterHotkeys(uint16_t next, uint16_t previous) {
        return autoChange_.RegisterHotkeys(next, previous);
    }
    void menu隐藏桌面图标_Click();
    void menu显示桌面图标_Click();
    // Shows the options dialog modally (the tray's and the picture list's "设置").
    void menu设置_Click();

    // What the pages work with, for the tests that drive them through this window. Tests may change
    // the settings and places between steps; the pages read them when they need them.
    settings::AppSettings& Settings() { return settings_; }
    core::ProgramPlaces& Places() { return places_; }
    core::FolderPaths& Folders() { return folderPaths_; }
    HWND TabControl() const { return SSTab1; }
    browser::BrowserPage& Browser() { return browser_; }
    wallpaper::PicturePage& Pictures() { return BuildHiddenPages(), pictures_; }
    wallpaper::AutoChange& TimedModes() { return BuildHiddenPages(), autoChange_; }
    monitor::MonitorPage& Monitor() { return BuildHiddenPages(), monitor_; }
    AboutPage& About() { return BuildHiddenPages(), about_; }
    wallpaper::DailyPictures& Daily() { return BuildHiddenPages(), daily_; }

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    // What the pages ask of the main window.
    void BringUpMainWindow() override;
    void ShowBrowserTab() override;
    std::wstring BrowseForFolder() override { return wallpaper::BrowseForFolder(hwnd()); }
    void ShowDownloadWindow() override { web::ShowFormWB(places_.ProgramFolder); }
    bool ShowOptions() override;
    void ClearDesktop() override;
    bool SlideshowCanRun() const override;
    HWND Window() const override { return hwnd(); }
    // The tip: the program's name, then what holds the change, the time of day and the daily pictures.
    void ShowPause(wallpaper::PauseReason reason) override { ShowTipLine(0, wallpaper::PauseTip(reason)); }
    void ShowPhase(const std::wstring& line) override { ShowTipLine(1, line); }
    void ShowDailyTip(const std::wstring& line) override { ShowTipLine(2, line); }
    void ShowTipLine(int i, const std::wstring& line) {
        tipLines_[i] = line;
        SetTrayTipLines(tipLines_);
    }
    void Form_Load();
    void Form_Resize();
    // The close decision: hides the window, or (on the way out) runs the exit path.
    void Form_Unload();
    void ExitPath();
    void SSTab1_Click();
    // Shows the tab `step` places on (wrapping), with the focus on its first control.
    void StepTab(int step);
    void TimerOut_Timer();
    void menu退出_Click();
    void menu显示界面_Click();
    void menu关于_Click() { ShowDownloadWindow(); }
    void OpenCommandLinePicture();
    void OnCommand(int id, int code, HWND control);
    void CreateChildren();
    // The tabs not on show are built once the window is up, one at a time (or all at once, when
    // something needs them), with the first tab's parts that wait for the user. BuildNextPage is
    // false once all are built.
    bool BuildNextPage();
    void BuildHiddenPages();
    void ApplyDpi(UINT dpi);
    ui::TabPage* Page(int index);

    settings::AppSettings settings_;
    core::ProgramPlaces places_;
    core::FolderPaths folderPaths_;
    bool exitRequested_ = false;

    HWND SSTab1 = nullptr;
    browser::BrowserPage browser_;
    wallpaper::PicturePage pictures_;
    monitor::MonitorPage monitor_;
    AboutPage about_;
    int pagesBuilt_ = 1;
    wallpaper::AutoChange autoChange_;
    wallpaper::DailyPictures daily_{*this, pictures_, settings_, places_};
    HMENU menu托盘 = nullptr;
    std::unique_ptr<CurrentWallpaperMenu> currentMenu_;

    bool earlierCopyRunning_;
    TitleWindow titleWindow_;
    platform::UniqueMenu popups_;
    platform::UniqueGdi font_;
    UINT dpi_ = 96;
    UINT taskbarCreated_ = 0;
    bool timerOn_[5] = {};
    std::wstring tipLines_[3]; // the pause, the time of day, the daily pictures
};

} // namespace app
