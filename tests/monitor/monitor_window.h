// A top-level window standing in for the main window, with the monitor page on it, for the
// monitor's tests and benchmark.
#pragma once
#include "monitor/monitor_page.h"

#include <functional>
#include <memory>
#include <string>

namespace test {

class MonitorWindow {
  public:
    explicit MonitorWindow(bool visible = false);
    ~MonitorWindow();
    MonitorWindow(const MonitorWindow&) = delete;
    MonitorWindow& operator=(const MonitorWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The window's own procedure, the one at the end of the chain.
    static LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    std::unique_ptr<monitor::MonitorPage> page;
    // Shell notifications (0x401) that reached the window's own procedure.
    int notificationsSeen = 0;
    bool ncDestroySeen = false;

  private:
    HWND hwnd_ = nullptr;
};

// The log's text as its list shows it, each line followed by CR LF.
std::wstring LogText(HWND log);
// Dispatches the thread's messages for `ms`, or until `done` holds; `onMessage` sees each first.
void Pump(DWORD ms, const std::function<bool()>& done = {},
          const std::function<void(const MSG&)>& onMessage = {});

} // namespace test
