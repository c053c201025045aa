// A small base for windows whose procedure dispatches to a C++ object.
#pragma once
#include "platform/win.h"

namespace platform {

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();
    HWND hwnd() const { return hwnd_; }

    // Registers a class whose procedure is Window::Proc (once per class name).
    static void RegisterClass(const wchar_t* name, HICON icon, HBRUSH background, UINT style = 0);

  protected:
    bool Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                int w, int h, HWND parent, HMENU idOrMenu);
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    virtual void OnDestroyed() {}

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

// A plain child window that groups controls: it hands its controls' notifications
// on to its parent, so that the owning window handles them by control ID.
class Panel : public Window {
  public:
    bool Create(HWND parent, int id);

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

} // namespace platform
