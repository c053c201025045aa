// The preview pane `P_back`: holds the picture as loaded and draws it fitted into the pane.
#pragma once
#include "platform/window.h"
#include "wallpaper/fit.h"
#include "wallpaper/picture.h"

#include <memory>
#include <optional>

namespace wallpaper {

class PreviewPane : public platform::Window {
  public:
    bool Create(HWND parent, int id);
    // The picture the pane holds from now on; shown at the next Fit.
    void SetPicture(Picture picture);
    // Shows `picture` at once, with `preview` as the picture already reduced for the pane (PreviewBitmap).
    void Show(std::shared_ptr<const Picture> picture, platform::UniqueGdi preview);
    const Picture* Current() const { return picture_.get(); }
    const std::shared_ptr<const Picture>& Shared() const { return picture_; }
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
    std::shared_ptr<const Picture> picture_;
    platform::UniqueGdi shown_; // the picture at the size it is drawn
    PixelRect place_;
};

} // namespace wallpaper
