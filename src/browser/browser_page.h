// Tab 0, "桌面文件": the folder browser's controls.
#pragma once
#include "ui/tab_page.h"

#include <string>

namespace browser {

class BrowserPage : public ui::TabPage {
  public:
    bool Build(HWND parent, int id, HFONT font, UINT dpi) override;
    void Layout(int W, int H, UINT dpi) override;

    // Points the browser at `folder`: the current-path label and the first history entry.
    void StartAt(const std::wstring& folder);
    // Reads the current folder again into the working lists: its files into File2, its folders into Dir1.
    void RefreshLists();
    const std::wstring& Folder() const { return folder_; }

    HWND Picture2 = nullptr, Combo1 = nullptr, Command8 = nullptr, Label1 = nullptr, Label2 = nullptr;
    HWND ListView1 = nullptr, File2 = nullptr, Dir1 = nullptr, List1 = nullptr, pic16 = nullptr;

  private:
    std::wstring folder_;
    platform::Panel picture2_;
    static constexpr int Picture2Height = 420;
};

} // namespace browser
