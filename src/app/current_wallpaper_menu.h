// The tray menu's "当前墙纸": the picture on show (one for each monitor that has its own), with what
// can be done with its file: show it in its folder, copy it or its path, and mark it.
#pragma once
#include "platform/win.h"
#include "wallpaper/page/auto_change.h"
#include "wallpaper/page/picture_page.h"

#include <string>
#include <vector>

namespace app {

class CurrentWallpaperMenu {
  public:
    // `tray` holds the submenu "当前墙纸"; `bitmapPath` is the program's wallpaper bitmap.
    CurrentWallpaperMenu(HMENU tray, wallpaper::PicturePage& pictures, wallpaper::AutoChange& change,
                         const std::wstring& bitmapPath);
    // Fills the submenu as the wallpaper is now, as the tray menu opens.
    void Fill();
    // One of the submenu's commands; false for any other.
    bool OnCommand(int id, HWND window);
    // The pictures the submenu was last filled with.
    const std::vector<std::wstring>& Pictures() const { return pictures_; }

  private:
    void AddItems(HMENU menu, size_t picture);

    HMENU menu_ = nullptr;
    wallpaper::PicturePage& page_;
    wallpaper::AutoChange& change_;
    const std::wstring& bitmapPath_;
    std::vector<std::wstring> pictures_;
};

// Shows the file selected in its folder, as Explorer would; false when neither way worked.
bool ShowInFolder(const std::wstring& path);
// The text on the clipboard, as "复制路径" puts it there.
bool PutTextOnClipboard(HWND owner, const std::wstring& text);

} // namespace app
