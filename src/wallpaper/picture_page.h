// Tab 1, "墙纸和看图": the picture list, the preview and the picture buttons.
#pragma once
#include "app/tab_page.h"

#include <string>

namespace app {

class PicturePage : public TabPage {
  public:
    bool Build(HWND parent, int id, HFONT font, UINT dpi) override;
    void Layout(int W, int H, UINT dpi) override;

    // The folder the picture list shows (`File1.Path`), without a trailing backslash unless a root.
    const std::wstring& Path() const { return path_; }
    // Lists the pictures of `folder`; false (and nothing changed) when the folder does not exist.
    bool SetPath(const std::wstring& folder);
    void Refresh();

    HWND File1 = nullptr, P_back = nullptr;
    HWND Command1 = nullptr, Command3 = nullptr, Command2 = nullptr, Command4 = nullptr, Command6 = nullptr,
         Command5 = nullptr;

  private:
    std::wstring path_;
    static constexpr layout::Rect File1Designed{330, 1230, 2590, 3000};
};

} // namespace app
