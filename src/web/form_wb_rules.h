// The web window's geometry and its rule for failed pages; no Windows headers here.
#pragma once
#include "ui/layout.h"

#include <optional>
#include <string>

namespace web {

using ui::layout::Rect;
using ui::layout::Size;

// Twips.
inline constexpr int FrameMargin = 10;
inline constexpr int FrameWidthReserve = 150;
inline constexpr int BrowserGap = 20;
inline constexpr int BrowserLeft = 10;
inline constexpr int BrowserHeightReserve = 400;

struct FormWBPlaces {
    Rect Frame1, WebBrowser1;
    bool operator==(const FormWBPlaces&) const = default;
};

// Places for the window's outer size (twips); none while it is minimised. A window too narrow or
// too low for the frame or the browser gives them zero width or height.
std::optional<FormWBPlaces> LayoutFormWB(Size window, int frame1Height, bool minimised);

// Decides what a failed navigation leads to: the local help page once, and if that fails as
// well, a plain line instead of a page, never another navigation. Errors of navigations
// that have been replaced by a later one are ignored.
class PageFallback {
  public:
    enum class Action { None, OpenLocalPage, ShowCannotDisplay };

    explicit PageFallback(std::wstring localPage) : localPage_(std::move(localPage)) {}
    // A navigation of the whole window starts (ours, or a link the page follows).
    void Starting(const std::wstring& url);
    // A navigation of the whole window failed.
    Action Failed(const std::wstring& url);
    bool GaveUp() const { return state_ == State::GaveUp; }

  private:
    enum class State { Remote, Local, GaveUp };
    std::wstring localPage_;
    State state_ = State::Remote;
};

} // namespace web
