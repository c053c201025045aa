// Tab 2, "文件操作监视": starts and stops the change monitor and logs each shell change notification.
#pragma once
#include "monitor/log_entry.h"
#include "monitor/sub_class.h"
#include "ui/tab_page.h"

#include <cstdint>

namespace monitor {

class MonitorPage : public ui::TabPage, private NotificationSink {
  public:
    MonitorPage();
    // Stops monitoring if it is still on, so the main window never keeps a procedure of a page that is gone.
    ~MonitorPage() override;

    bool Build(HWND parent, int id, HFONT font, UINT dpi) override;
    void Layout(int W, int H, UINT dpi) override;
    bool OnCommand(int id, int code, HWND control) override;

    // "启动监视": subclasses the main window (the page's top-level window) and registers it.
    void Command7_Click();
    // "停止监视": ends the registration and the subclass. The exit path runs it before the main
    // window is destroyed.
    void Command9_Click();
    // One notification: wParam points at the two item pointers, lParam is the event id.
    void NotificationReceipt(WPARAM wp, LPARAM lp) override;
    void tmrFlashMe_Timer();

    bool Monitoring() const { return monitoring_; }
    int FlashCounter() const { return flashCounter_; }
    bool FlashTimerEnabled() const { return flashOn_; }
    UINT FlashInterval() const { return flashInterval_; }

    // tmrFlashMe is a timer of the page's own window.
    static constexpr UINT_PTR FlashTimerId = 1;

    HWND Picture3 = nullptr, Command7 = nullptr, Command9 = nullptr, Label3 = nullptr, RichTextBox1 = nullptr;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    HWND MainWindow() const;
    void AppendToLog(const std::wstring& text);
    // Draws the entries appended since the last drawing.
    void DrawLog();
    void SetFlashTimer(bool on, UINT interval);

    platform::Panel picture3_;
    static constexpr int Picture3Height = 480;
    static constexpr UINT_PTR DrawLogTimerId = 2;
    // Entries are drawn at most this often (ms): a burst of them is drawn once.
    static constexpr UINT DrawLogDelay = 100;

    bool monitoring_ = false;
    HWND subclassed_ = nullptr;
    LoggedEntries logged_;
    std::int16_t flashCounter_ = 0;
    UINT flashInterval_ = 100;
    bool flashOn_ = false;
    bool drawPending_ = false;
};

} // namespace monitor
