// Main window geometry in twips; no Windows headers here.
#pragma once

namespace ui::layout {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};
struct Size {
    int width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

inline constexpr int MinWindowWidth = 3500;
inline constexpr int MinWindowHeight = 2000;
inline constexpr int TabLeft = 10;
inline constexpr int TabTop = 0;
inline constexpr int WidthReserve = 150;
inline constexpr int HeightReserve = 400;
inline constexpr int InnerLeft = 330;
inline constexpr int PanelTop = 30;
inline constexpr int PanelWidthReserve = 380;
inline constexpr int GapBelowPanel = 10;
inline constexpr int BottomReserve = 30;
inline constexpr int PictureReserve = 50;
inline constexpr int PictureGap = 10;

// The window's outer size raised to the minimum where it is below it.
Size ClampToMinimum(Size window);

// The tab control's rectangle for the window's outer size.
Rect TabControl(Size window);

// Tab controls are measured in the tab control's frame, where every control starts at
// InnerLeft and PanelTop. Our tabs sit on top of the control, so the controls live on a
// page that covers its display area; a page margin takes the place of those insets.
struct PageFrame {
    int margin; // twips between the page's edge and the controls
    // The tab control size (in its own frame) that corresponds to a page of this size.
    Size FrameSize(Size page) const;
    // A rectangle of the tab control's frame, moved onto the page.
    Rect ToPage(Rect inFrame) const;
};

struct BrowserTab {
    Rect Picture2, ListView1;
};
struct PictureTab {
    Rect File1, P_back;
};
struct MonitorTab {
    Rect Picture3, RichTextBox1;
};

// W and H are the tab control's width and height (in its frame).
BrowserTab LayoutBrowserTab(int W, int H, int picture2Height);
PictureTab LayoutPictureTab(int W, int H, Rect file1AsDesigned);
MonitorTab LayoutMonitorTab(int W, int H, int picture3Height);

} // namespace ui::layout
