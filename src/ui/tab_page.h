// One tab of the main window: a page over the tab control's display area that owns its controls.
#pragma once
#include "platform/accessible_name.h"
#include "platform/window.h"
#include "ui/controls.h"

#include <vector>

namespace ui {

class TabPage : public platform::Panel {
  public:
    // The frame in which the controls' places are given (see layout::PageFrame).
    static constexpr layout::PageFrame Frame{90};

    virtual bool Build(HWND parent, int id, HFONT font, UINT dpi) = 0;
    // Puts every control of fixed place where it belongs for this DPI, and sets the font.
    virtual void Reposition(UINT dpi, HFONT font);
    // Lays the page out for the tab control's frame size W × H (twips).
    virtual void Layout(int /*W*/, int /*H*/, UINT /*dpi*/) {}
    // A command (control notification or menu item) of this page; true when handled.
    virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }

  protected:
    // Creates a control inside `parent` (the page or one of its panels) at a place in the
    // tab control's frame (or, for panels' children, in the panel).
    HWND Add(HWND parent, int id, const wchar_t* cls, const wchar_t* text, DWORD style,
             layout::Rect frameRect, DWORD exStyle = 0);
    void PlaceInFrame(HWND control, const layout::Rect& frameRect, UINT dpi) const;

    struct Fixed {
        HWND hwnd;
        layout::Rect rect;
        bool inFrame; // false: the rectangle is relative to a panel
    };
    std::vector<Fixed> fixed_;
    UINT dpi_ = 96;
    HFONT font_ = nullptr;
};

} // namespace ui
