// The preview pane `P_back`: holds the picture reduced to the pane's size, and nothing more, and draws it.
#pragma once
#include "platform/window.h"
#include "wallpaper/pictures/fit.h"
#include "wallpaper/pictures/wallpaper_layout.h"

#include <optional>

namespace wallpaper {

class PreviewPane : public platform::Window {
  public:
    bool Create(HWND parent, int id);
    // Shows `preview`, a picture of `full` size reduced for the pane (PreviewBitmap).
    void Show(platform::UniqueGdi preview, PixelSize full);
    // Places the picture in the pane's present size; true when its bitmap was made for another size,
    // and is drawn stretched until a new one comes.
    bool Fit();
    // Lets go of the bitmap; the picture's size stays, and Fit asks for a new one.
    void Release();
    // The size of the picture shown (or let go), upright; zero before any.
    PixelSize PictureSize() const { return full_; }
    // Where the picture is drawn, in client pixels; nothing while it is hidden.
    std::optional<PixelRect> Shown() const;
    // The pixels drawn, as a 32-bit DIB section (null while hidden).
    HBITMAP ShownBitmap() const { return static_cast<HBITMAP>(shown_.get()); }

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void Paint();
    platform::UniqueGdi shown_; // the picture at the size it was made for
    PixelSize made_;            // that size
    PixelSize full_;
    PixelRect place_;
};

} // namespace wallpaper
