#include "app/about_page.h"

#include "core/identity.h"

#include <commctrl.h>
#include <shellapi.h>

namespace app {
using namespace core;
using namespace ui;

bool AboutPage::Build(HWND parent, int id, HFONT font, UINT dpi) {
    font_ = font;
    dpi_ = dpi;
    if (!Create(parent, id)) return false;
    Image2 = Add(hwnd(), IDC_Image2, WC_STATICW, L"", WS_VISIBLE | SS_ICON | SS_NOTIFY | SS_REALSIZECONTROL,
                 {630, 330, 720, 720});
    lblTitle =
        Add(hwnd(), IDC_lblTitle, WC_STATICW, L"Tavolin", WS_VISIBLE | SS_NOPREFIX, {1530, 300, 5000, 540});
    lblVersion =
        Add(hwnd(), IDC_lblVersion, WC_STATICW, L"", WS_VISIBLE | SS_NOPREFIX, {1530, 840, 5000, 300});
    Label8 = Add(hwnd(), IDC_Label8, WC_STATICW, L"欢迎提出宝贵建议，以便我们把软件做的更好！",
                 WS_VISIBLE | SS_NOPREFIX, {630, 1500, 8000, 300});
    // A link control, so that the product page opens from the keyboard too (Tab, then Enter).
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    std::wstring link = std::wstring(L"软件升级：<a>") + ProductPage + L"</a>";
    Label6 = Add(hwnd(), IDC_Label6, WC_LINK, link.c_str(), WS_VISIBLE | WS_TABSTOP, {630, 1950, 8000, 300});
    HICON icon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                      platform::Twips(720, dpi), platform::Twips(720, dpi), LR_SHARED));
    SendMessageW(Image2, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    Reposition(dpi, font);
    return true;
}

void AboutPage::Reposition(UINT dpi, HFONT font) {
    TabPage::Reposition(dpi, font);
    LOGFONTW lf{};
    GetObjectW(font, sizeof lf, &lf);
    lf.lfHeight = -MulDiv(18, static_cast<int>(dpi), 72);
    lf.lfWeight = FW_BOLD;
    titleFont_.reset(CreateFontIndirectW(&lf));
    SetFont(lblTitle, static_cast<HFONT>(titleFont_.get()));
}

void AboutPage::Label6_Click() {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder = FolderPart(exe);
    ShellExecuteW(GetAncestor(hwnd(), GA_ROOT), L"Open", ProductPage, nullptr, folder.c_str(), SW_SHOWNORMAL);
}

LRESULT AboutPage::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        if (hdr->hwndFrom == Label6 && (hdr->code == NM_CLICK || hdr->code == NM_RETURN))
            return Label6_Click(), 0;
        break;
    }
    case WM_COMMAND:
        if (HIWORD(wp) == STN_CLICKED && LOWORD(wp) == IDC_Image2) return Image2_Click(), 0;
        break;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) == Label6) {
            auto dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, platform::LinkColor());
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == Label6 || reinterpret_cast<HWND>(wp) == Image2) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    return TabPage::HandleMessage(msg, wp, lp);
}

} // namespace app
