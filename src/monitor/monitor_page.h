// Tab 2, "文件操作监视": the monitor's buttons, its state label and the log.
#pragma once
#include "ui/tab_page.h"

namespace monitor {

class MonitorPage : public ui::TabPage {
  public:
    bool Build(HWND parent, int id, HFONT font, UINT dpi) override;
    void Layout(int W, int H, UINT dpi) override;

    HWND Picture3 = nullptr, Command7 = nullptr, Command9 = nullptr, Label3 = nullptr, RichTextBox1 = nullptr;

  private:
    platform::Panel picture3_;
    static constexpr int Picture3Height = 480;
};

} // namespace monitor
