#include "web/form_wb_rules.h"

#include "web/pages.h"

#include <algorithm>

namespace web {

std::optional<FormWBPlaces> LayoutFormWB(Size window, int frame1Height, bool minimised) {
    if (minimised) return std::nullopt;
    FormWBPlaces p;
    p.Frame1 = {FrameMargin, FrameMargin, std::max(0, window.width - FrameWidthReserve), frame1Height};
    p.WebBrowser1.top = p.Frame1.height + p.Frame1.top + BrowserGap;
    p.WebBrowser1.left = BrowserLeft;
    p.WebBrowser1.width = p.Frame1.width;
    p.WebBrowser1.height = std::max(0, window.height - p.WebBrowser1.top - BrowserHeightReserve);
    return p;
}

void PageFallback::Starting(const std::wstring& url) {
    state_ = SameLocalFile(url, localPage_) ? State::Local : State::Remote;
}

PageFallback::Action PageFallback::Failed(const std::wstring& url) {
    bool local = SameLocalFile(url, localPage_);
    if (state_ == State::Remote && !local) {
        state_ = State::Local;
        return Action::OpenLocalPage;
    }
    if (state_ == State::Local && local) {
        state_ = State::GaveUp;
        return Action::ShowCannotDisplay;
    }
    return Action::None;
}

} // namespace web
