// Stands the monitor's window procedure in front of a window's procedure, so that the shell's
// change notifications reach the log while every message still reaches the window.
#pragma once
#include "platform/win.h"

namespace monitor {

// Receives the shell's change notifications that arrive at a subclassed window.
class NotificationSink {
  public:
    virtual void NotificationReceipt(WPARAM wp, LPARAM lp) = 0;

  protected:
    ~NotificationSink() = default;
};

// Installs WndProc on `window`, keeping the procedure it replaces in the window property
// "OldWndProc"; `sink` receives the notifications. A window already subclassed, or one whose
// procedure cannot be replaced, is refused with a message box.
bool SubClass(HWND window, NotificationSink* sink);
// Gives the window back the procedure that SubClass replaced; false when it was not subclassed.
bool UnSubClass(HWND window);
LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

} // namespace monitor
