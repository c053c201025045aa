// The preview pane `P_back`: holds the picture as loaded and draws it fitted into the pane.
#pragma once
#include "platform/window.h"
#include "wallpaper/fit.h"
#include "wallpaper/picture.h"

#include <optional>

namespace wallpaper {

class PreviewPane : public platform::Window {
  public:
    bool Create(HWND parent, int id);
    // The picture the pane holds from now on; shown at the next Fit.
    void SetPicture(Picture picture);
    const Picture* Current() const { return picture_ ? &*picture_ : nullptr; }
    // Fits the picture into the pane's present size and draws it; hidden when the pane is empty.
    void Fit();
    // Where the picture is drawn, in client pixels; nothing while it is hidden.
    std::optional<PixelRect> Shown() const;
    // The pixels drawn, as a 32-bit DIB section (null while hidden).
    HBITMAP ShownBitmap() const { return static_cast<HBITMAP>(shown_.get()); }

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void Paint();
    std::optional<Picture> picture_;
    platform::UniqueGdi shown_; // the picture at the size it is drawn
    PixelRect place_;
};

} // namespace wallpaper
