#include "monitor/monitor_page.h"

#include <commctrl.h>
#include <richedit.h>

namespace monitor {
using namespace ui;

bool MonitorPage::Build(HWND parent, int id, HFONT font, UINT dpi) {
    font_ = font;
    dpi_ = dpi;
    if (!Create(parent, id)) return false;
    picture3_.Create(hwnd(), IDC_Picture3);
    Picture3 = picture3_.hwnd();
    ShowWindow(Picture3, SW_SHOW);
    const DWORD button = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    Command7 = Add(Picture3, IDC_Command7, WC_BUTTONW, L"启动监视", button, {0, 60, 1200, 360});
    Command9 = Add(Picture3, IDC_Command9, WC_BUTTONW, L"停止监视", button, {1300, 60, 1200, 360});
    Label3 = Add(Picture3, IDC_Label3, WC_STATICW, L"监视尚未启动", WS_VISIBLE | SS_NOPREFIX,
                 {2700, 120, 4000, 240});
    LoadLibraryW(L"Msftedit.dll");
    RichTextBox1 = Add(hwnd(), IDC_RichTextBox1, MSFTEDIT_CLASS, L"",
                       WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                       {330, 520, 8000, 3000}, WS_EX_CLIENTEDGE);
    return true;
}

void MonitorPage::Layout(int W, int H, UINT dpi) {
    layout::MonitorTab t = layout::LayoutMonitorTab(W, H, Picture3Height);
    PlaceInFrame(Picture3, t.Picture3, dpi);
    PlaceInFrame(RichTextBox1, t.RichTextBox1, dpi);
}

} // namespace monitor
