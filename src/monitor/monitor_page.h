// Tab 2, "文件操作监视": starts and stops the change monitor and logs each shell change notification.
#pragma once
#include "monitor/log_entry.h"
#include "monitor/sub_class.h"
#include "ui/tab_page.h"

#include <cstddef>
#include <cstdint>
#include <string>

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

    // The log's popup menu: "复制", "全选", "保存日志...", "清空日志".
    void menu复制_Click();
    void menu全选_Click();
    void menu保存日志_Click();
    void menu清空日志_Click();
    // Writes the log as shown, UTF-8 with a byte order mark, whole or not at all; a failure is
    // reported in a message box. True when written.
    bool SaveLog(const std::wstring& path);
    const EntryLog& Log() const { return log_; }

    bool Monitoring() const { return monitoring_; }
    int FlashCounter() const { return flashCounter_; }
    bool FlashTimerEnabled() const { return flashOn_; }
    UINT FlashInterval() const { return flashInterval_; }

    // tmrFlashMe is a timer of the page's own window.
    static constexpr UINT_PTR FlashTimerId = 1;

    // The log is a list that shows only the lines in view, one row a line: a rich edit control
    // costs tens of KB an entry under Wine, and any edit control grows slower with every entry.
    HWND Picture3 = nullptr, Command7 = nullptr, Command9 = nullptr, Label3 = nullptr, RichTextBox1 = nullptr;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    HWND MainWindow() const;
    // The list shows the log's lines again after `dropped` lines went from its top.
    void ShowLog(std::size_t dropped);
    // Scrolls to the end when the view was there before the entries came.
    void DrawLog();
    void RichTextBox1_ContextMenu(LPARAM screenPoint);
    static LRESULT CALLBACK RichTextBox1Proc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                             DWORD_PTR self);
    void SetFlashTimer(bool on, UINT interval);

    platform::Panel picture3_;
    static constexpr int Picture3Height = 480;
    static constexpr UINT_PTR DrawLogTimerId = 2;
    // Entries are drawn at most this often (ms): a burst of them is drawn once.
    static constexpr UINT DrawLogDelay = 100;

    bool monitoring_ = false;
    HWND subclassed_ = nullptr;
    EntryLog log_;
    platform::UniqueMenu popups_;
    int lineWidth_ = 0; // of the widest line shown, in pixels
    bool followEnd_ = false;
    std::int16_t flashCounter_ = 0;
    UINT flashInterval_ = 100;
    bool flashOn_ = false;
    bool drawPending_ = false;
};

} // namespace monitor
