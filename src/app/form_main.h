// The main window: start-up and shutdown, the tabs and their layout, the timers and the menus.
#pragma once
#include "app/about_page.h"
#include "browser/browser_page.h"
#include "core/folder_paths.h"
#include "app/single_instance.h"
#include "monitor/monitor_page.h"
#include "platform/window.h"
#include "settings/app_settings.h"
#include "wallpaper/auto_change.h"
#include "wallpaper/picture_page.h"

#include <string>

namespace app {
using namespace core;
using namespace ui;

enum TimerId : UINT_PTR { Timer1 = 1, TimerKT = 2, TimerOut = 3, tmrFlashMe = 4 };

class FormMain : public platform::Window, public browser::BrowserHost {
  public:
    explicit FormMain(bool earlierCopyRunning)
        : browser(*this), pictures(*this), earlierCopyRunning_(earlierCopyRunning) {}
    // Creates the window and runs the start-up sequence.
    bool Create();

    // Public operations
    std::wstring 获取系统文件夹路径() const;
    std::wstring GetSysDir() const;
    std::wstring 获取桌面路径() const;
    void 调整其他窗口大小();
    // Loads `path` (when not empty) into the preview and fits the current picture into it.
    void 加载图片(const std::wstring& path);
    // Makes the previewed picture the desktop wallpaper; false, with the reason in `error`, when the
    // bitmap could not be written (then nothing else has changed).
    bool 设置墙纸(std::wstring* error = nullptr);
    void SetTimerEnabled(TimerId id, bool on);
    bool TimerEnabled(TimerId id) const { return timerOn_[id]; }
    void menu隐藏桌面图标_Click();
    void menu显示桌面图标_Click();
    // Shows the options dialog modally (the tray's and the picture list's "设置").
    void menu设置_Click();
    // browser::BrowserHost
    void BringUpMainWindow() override;
    void ShowBrowserTab() override;

    // State
    settings::AppSettings AppSettings;
    FolderPaths folderPaths;
    std::wstring WallpaperBitmapPath;
    std::wstring ProgramFolder;
    std::wstring ExecutableName;
    bool ExitRequested = false;

    HWND SSTab1 = nullptr;
    browser::BrowserPage browser;
    PicturePage pictures;
    monitor::MonitorPage monitor;
    AboutPage about;
    AutoChange autoChange{*this};
    HMENU menu托盘 = nullptr, FlieL = nullptr, LV = nullptr;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void Form_Load();
    void Form_Resize();
    // The close decision: hides the window, or (on the way out) runs the exit path.
    void Form_Unload();
    void ExitPath();
    void SSTab1_Click();
    void TimerOut_Timer();
    void menu退出_Click();
    void menu显示界面_Click();
    void ChoosePictureFolder();
    void OpenCommandLinePicture();
    void OnCommand(int id, int code, HWND control);
    void CreateChildren();
    void ApplyDpi(UINT dpi);
    TabPage* Page(int index);

    bool earlierCopyRunning_;
    TitleWindow titleWindow_;
    platform::UniqueMenu popups_;
    platform::UniqueGdi font_;
    UINT dpi_ = 96;
    UINT taskbarCreated_ = 0;
    bool timerOn_[5] = {};
};

} // namespace app
