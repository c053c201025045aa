// Tab 3, "关于": title, version, a word to the user and the link to the product page.
#pragma once
#include "ui/tab_page.h"

namespace app {

class AboutPage : public ui::TabPage {
  public:
    bool Build(HWND parent, int id, HFONT font, UINT dpi) override;
    void Reposition(UINT dpi, HFONT font) override;

    // Opens the product page (Label6 and Image2 do the same).
    void Label6_Click();
    void Image2_Click() { Label6_Click(); }

    HWND lblTitle = nullptr, lblVersion = nullptr, Label8 = nullptr, Label6 = nullptr, Image2 = nullptr;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    platform::UniqueGdi titleFont_;
};

} // namespace app
