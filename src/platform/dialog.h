// A small base for dialogs from resource templates whose procedure dispatches to a C++ object.
#pragma once
#include "platform/win.h"

namespace platform {

class Dialog {
  public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();
    HWND hwnd() const { return hwnd_; }

  protected:
    // Runs the dialog of template `id` modally; the value given to End().
    INT_PTR RunModal(HWND owner, int id);
    // Creates it modeless; it lives until End() or its owner's end.
    HWND CreateModeless(HWND owner, int id);
    void End(INT_PTR result);
    // TRUE when the message was handled, as a dialog procedure answers.
    virtual INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;

  private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
    bool modal_ = false;
};

} // namespace platform
