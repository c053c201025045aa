// The shell's desktop windows, which Wine does not have: "Progman" with the icon view
// "SHELLDLL_DefView" in one of the layouts that Windows uses. The windows live on a thread of
// their own that answers messages, so that another thread or process may show and hide them.
#pragma once
#include "platform/win.h"

#include <atomic>
#include <thread>

namespace test {

class FakeDesktop {
  public:
    enum class Layout {
        ViewUnderProgman,         // Progman > SHELLDLL_DefView
        ViewUnderWorkerWChild,    // Progman > WorkerW (empty), WorkerW > SHELLDLL_DefView
        ViewUnderTopLevelWorkerW, // Progman (empty); an empty WorkerW, then WorkerW > SHELLDLL_DefView
    };
    explicit FakeDesktop(Layout layout);
    ~FakeDesktop();
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    HWND view() const { return view_; }
    bool ViewVisible() const { return IsWindowVisible(view_) != FALSE; }
    // How often the view was hidden and shown (WM_SHOWWINDOW) since it was made.
    int Hides() const { return hides_; }
    int Shows() const { return shows_; }

  private:
    void Run(Layout layout);
    static LRESULT CALLBACK ViewProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

    std::thread thread_;
    DWORD threadId_ = 0;
    HANDLE ready_ = nullptr;
    HWND progman_ = nullptr, view_ = nullptr;
    std::atomic<int> hides_{0}, shows_{0};
};

} // namespace test
