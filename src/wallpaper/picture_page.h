// Tab 1, "墙纸和看图": the picture list, the preview and the picture buttons.
#pragma once
#include "app/tab_page.h"

#include <string>

namespace app {

class FormMain;

class PicturePage : public TabPage {
  public:
    explicit PicturePage(FormMain& form) : form_(form) {}
    bool Build(HWND parent, int id, HFONT font, UINT dpi) override;
    void Layout(int W, int H, UINT dpi) override;

    // The folder the picture list shows (`File1.Path`), without a trailing backslash unless a root.
    const std::wstring& Path() const { return path_; }
    // Lists the pictures of `folder`; false (and nothing changed) when the folder does not exist.
    bool SetPath(const std::wstring& folder);
    void Refresh();

    // The picture list as the timed modes step through it.
    int ListCount() const;
    int ListIndex() const;
    // Selects entry `index` and runs File1_Click, as a click on it would.
    void SetListIndex(int index);
    // Previews (and collects) the selected picture.
    void File1_Click();

    // Loads `path` (when not empty) and fits the current picture into the preview; nothing while minimised.
    void 加载图片(const std::wstring& path, bool minimised);
    // Writes the previewed picture to `bitmapPath` and makes it the wallpaper.
    void 设置墙纸(const std::wstring& bitmapPath);

    HWND File1 = nullptr, P_back = nullptr;
    HWND Command1 = nullptr, Command3 = nullptr, Command2 = nullptr, Command4 = nullptr, Command6 = nullptr,
         Command5 = nullptr;

  private:
    FormMain& form_;
    std::wstring path_;
    static constexpr layout::Rect File1Designed{330, 1230, 2590, 3000};
};

} // namespace app
