#include "ui/layout.h"

#include <algorithm>

namespace ui::layout {

Size ClampToMinimum(Size w) {
    return {std::max(w.width, MinWindowWidth), std::max(w.height, MinWindowHeight)};
}

Rect TabControl(Size w) {
    return {TabLeft, TabTop, w.width - TabLeft - WidthReserve, w.height - TabTop - HeightReserve};
}

Size PageFrame::FrameSize(Size page) const {
    return {page.width + (InnerLeft - margin) + (PanelWidthReserve - InnerLeft - margin),
            page.height + (PanelTop - margin) + (BottomReserve - margin)};
}

Rect PageFrame::ToPage(Rect r) const {
    return {r.left - InnerLeft + margin, r.top - PanelTop + margin, r.width, r.height};
}

BrowserTab LayoutBrowserTab(int W, int H, int picture2Height) {
    BrowserTab t;
    t.Picture2 = {InnerLeft, PanelTop, W - PanelWidthReserve, picture2Height};
    int top = t.Picture2.top + t.Picture2.height + GapBelowPanel;
    t.ListView1 = {InnerLeft, top, W - PanelWidthReserve, H - top - BottomReserve};
    return t;
}

PictureTab LayoutPictureTab(int W, int H, Rect file1) {
    PictureTab t;
    t.File1 = {InnerLeft, file1.top, file1.width, H - file1.top - PictureReserve};
    int left = t.File1.left + t.File1.width + PictureGap;
    t.P_back = {left, PanelTop, W - left - PictureReserve, H - PanelTop - PictureReserve};
    return t;
}

MonitorTab LayoutMonitorTab(int W, int H, int picture3Height) {
    MonitorTab t;
    t.Picture3 = {InnerLeft, PanelTop, W - PanelWidthReserve, picture3Height};
    int top = t.Picture3.top + t.Picture3.height + GapBelowPanel;
    t.RichTextBox1 = {InnerLeft, top, W - PanelWidthReserve, H - top - BottomReserve};
    return t;
}

} // namespace ui::layout
