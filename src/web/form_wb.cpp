#include "web/form_wb.h"

#include "core/identity.h"
#include "res/resource.h"
#include "ui/controls.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <memory>
#include <vector>

namespace web {
using ui::SetFont;

namespace {

enum : int {
    IDC_WB_Frame1 = 600,
    IDC_WB_Command1,
    IDC_WB_Command5,
    IDC_WB_Command8,
    IDC_WB_Label1,
    IDC_WB_Label8,
    IDC_WB_Label3,
    IDC_WB_Label2,
    IDC_WB_Label4,
    IDC_WB_Label5,
    IDC_WB_WebBrowser1,
    IDC_WB_lblNoPage,
};

constexpr UINT WM_APP_LOCALPAGE = WM_APP + 1;
constexpr wchar_t ClassName[] = L"TavolinFormWB";
constexpr wchar_t Caption[] = L"下载最新墙纸－Tavolin";
constexpr int Frame1Height = 1770;
constexpr Size StartSize{12000, 9000};
constexpr wchar_t CannotShowPage[] = L"无法显示此页面。请检查网络连接，或用上面的按钮再试一次。";
constexpr wchar_t NoBrowser[] = L"这台电脑上没有可用的网页浏览组件。请用上面的按钮在默认浏览器中打开网页。";

std::unique_ptr<FormWB>& OpenForm() {
    static std::unique_ptr<FormWB> form;
    return form;
}

// "版本 x.y.z" from the program's own version resource; the built-in version where there is none.
std::wstring VersionLabelFromResource() {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    HGLOBAL data = info ? LoadResource(nullptr, info) : nullptr;
    auto* bytes = data ? static_cast<const unsigned char*>(LockResource(data)) : nullptr;
    DWORD size = info ? SizeofResource(nullptr, info) : 0;
    for (DWORD at = 0; bytes && at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        VS_FIXEDFILEINFO fixed;
        std::memcpy(&fixed, bytes + at, sizeof fixed);
        if (fixed.dwSignature == VS_FFI_SIGNATURE)
            return VersionText(HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS),
                               HIWORD(fixed.dwFileVersionLS));
    }
    return core::VersionLabel();
}

std::wstring ProgramFolderOfExe() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::wstring folder = core::FolderPart(path);
    if (!folder.empty()) folder.pop_back();
    return folder;
}

} // namespace

// The frame at the top: draws its etched edge and shows the mail label as a link.
class FormWB::Frame final : public platform::Panel {
  public:
    struct Fixed {
        HWND hwnd;
        Rect rect;
    };
    HWND Add(int id, const wchar_t* cls, const wchar_t* text, DWORD style, Rect rect) {
        HWND h = ui::CreateControl(hwnd(), id, cls, text, WS_VISIBLE | style);
        fixed_.push_back({h, rect});
        return h;
    }
    void Reposition(UINT dpi, HFONT font) {
        for (const Fixed& f : fixed_) {
            SetFont(f.hwnd, font);
            ui::Place(f.hwnd, f.rect, dpi);
        }
    }
    HWND link = nullptr;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd(), &ps);
            RECT r;
            GetClientRect(hwnd(), &r);
            DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
            EndPaint(hwnd(), &ps);
            return 0;
        }
        case WM_SIZE:
            InvalidateRect(hwnd(), nullptr, TRUE);
            break;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wp) == link) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        }
        return Panel::HandleMessage(msg, wp, lp);
    }

  private:
    std::vector<Fixed> fixed_;
};

FormWB::FormWB(FormWBOptions options) : options_(std::move(options)), fallback_(options_.pages.localPage) {}

FormWB::~FormWB() = default;

bool FormWB::Create() {
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP),
                                               IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    RegisterClass(ClassName, icon, GetSysColorBrush(COLOR_BTNFACE));
    UINT dpi = platform::DpiOf(nullptr);
    if (!Window::Create(ClassName, Caption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, CW_USEDEFAULT,
                        CW_USEDEFAULT, platform::Twips(StartSize.width, dpi),
                        platform::Twips(StartSize.height, dpi), nullptr, nullptr))
        return false;
    dpi_ = platform::DpiOf(hwnd());
    if (dpi_ != dpi)
        SetWindowPos(hwnd(), nullptr, 0, 0, platform::Twips(StartSize.width, dpi_),
                     platform::Twips(StartSize.height, dpi_), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateChildren();
    Form_Load();
    loaded_ = true;
    Form_Resize();
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(hwnd());
    created_ = true;
    return true;
}

void FormWB::CreateChildren() {
    frame_ = std::make_unique<Frame>();
    frame_->Create(hwnd(), IDC_WB_Frame1);
    Frame1 = frame_->hwnd();
    ShowWindow(Frame1, SW_SHOW);
    constexpr DWORD button = WS_TABSTOP | BS_PUSHBUTTON;
    constexpr DWORD label = SS_NOPREFIX | SS_LEFTNOWORDWRAP;
    Command8 = frame_->Add(IDC_WB_Command8, WC_BUTTONW, L"最新版本", button, {180, 180, 1400, 400});
    Command1 = frame_->Add(IDC_WB_Command1, WC_BUTTONW, L"其他软件", button, {1700, 180, 1400, 400});
    std::wstring site = std::wstring(L"作者网站：") + SiteName;
    Command5 = frame_->Add(IDC_WB_Command5, WC_BUTTONW, site.c_str(), button, {3220, 180, 3000, 400});
    Label1 =
        frame_->Add(IDC_WB_Label1, WC_STATICW, L"软件名称：Tavolin(Quorvel)", label, {180, 760, 3300, 270});
    Label8 = frame_->Add(IDC_WB_Label8, WC_STATICW, L"版本：1.00", label, {3600, 760, 2000, 270});
    std::wstring mail = std::wstring(L"Email: ") + AuthorMail + L"  欢迎给作者提出宝贵建议！";
    Label3 = frame_->Add(IDC_WB_Label3, WC_STATICW, mail.c_str(), label | SS_NOTIFY, {180, 1070, 7000, 270});
    frame_->link = Label3;
    std::wstring web = std::wstring(L"网站：") + SiteName;
    std::wstring support = std::wstring(L"客服：") + SupportMail;
    std::wstring feedback = std::wstring(L"反馈：") + FeedbackMail;
    Label2 = frame_->Add(IDC_WB_Label2, WC_STATICW, web.c_str(), label, {180, 1380, 3300, 270});
    Label4 = frame_->Add(IDC_WB_Label4, WC_STATICW, support.c_str(), label, {3600, 1380, 3600, 270});
    Label5 = frame_->Add(IDC_WB_Label5, WC_STATICW, feedback.c_str(), label, {7300, 1380, 3600, 270});
    lblNoPage = ui::CreateControl(hwnd(), IDC_WB_lblNoPage, WC_STATICW, L"", SS_NOPREFIX | SS_CENTER);
    if (!WebBrowser1.Create(hwnd(), IDC_WB_WebBrowser1, options_.engine, *this)) ShowLine(NoBrowser);
    ApplyDpi(dpi_);
}

void FormWB::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    font_.reset(platform::CreateUiFont(dpi));
    auto font = static_cast<HFONT>(font_.get());
    frame_->Reposition(dpi, font);
    SetFont(lblNoPage, font);
}

void FormWB::Form_Load() {
    if (WebBrowser1.Ready()) Navigate(options_.pages.download);
    SetWindowTextW(Label8, VersionLabelFromResource().c_str());
}

void FormWB::Form_Resize() {
    if (!loaded_) return;
    RECT wr;
    GetWindowRect(hwnd(), &wr);
    Size window{platform::PixelsToTwips(wr.right - wr.left, dpi_),
                platform::PixelsToTwips(wr.bottom - wr.top, dpi_)};
    auto places = LayoutFormWB(window, Frame1Height, IsIconic(hwnd()) != FALSE);
    if (!places) return;
    ui::Place(Frame1, places->Frame1, dpi_);
    browserPlace_ = places->WebBrowser1;
    if (WebBrowser1.hwnd()) ui::Place(WebBrowser1.hwnd(), browserPlace_, dpi_);
    ui::Place(lblNoPage, {browserPlace_.left, browserPlace_.top + 300, browserPlace_.width, 600}, dpi_);
    if (!startRepeated_) {
        startRepeated_ = true;
        if (WebBrowser1.Ready()) Navigate(options_.pages.download);
    }
}

void FormWB::Go(const std::wstring& url) {
    if (WebBrowser1.Ready())
        Navigate(url);
    else
        OpenExternally(url);
}

void FormWB::Navigate(const std::wstring& url) {
    ++navigations_;
    fallback_.Starting(url);
    ShowWindow(lblNoPage, SW_HIDE);
    ShowWindow(WebBrowser1.hwnd(), SW_SHOW);
    if (options_.navigating) options_.navigating(url);
    if (FAILED(WebBrowser1.Navigate(url))) ApplyFallback(fallback_.Failed(url));
}

void FormWB::ApplyFallback(PageFallback::Action action) {
    switch (action) {
    case PageFallback::Action::OpenLocalPage:
        // Not from inside the browser's own event: the local page is asked for once it returns.
        localRequest_ = navigations_;
        PostMessageW(hwnd(), WM_APP_LOCALPAGE, 0, 0);
        break;
    case PageFallback::Action::ShowCannotDisplay:
        ShowLine(CannotShowPage);
        break;
    case PageFallback::Action::None:
        break;
    }
}

void FormWB::ShowLine(const wchar_t* text) {
    SetWindowTextW(lblNoPage, text);
    ShowWindow(WebBrowser1.hwnd(), SW_HIDE);
    ShowWindow(lblNoPage, SW_SHOW);
}

void FormWB::OpenExternally(const std::wstring& url) {
    if (options_.openExternally) {
        options_.openExternally(url);
        return;
    }
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(hwnd(), L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) platform::Message(hwnd(), L"无法打开：\n" + url, MB_OK | MB_ICONERROR);
}

void FormWB::BrowserNavigating(const std::wstring& url) {
    fallback_.Starting(url);
}

bool FormWB::BrowserNavigateError(const std::wstring& url, bool topLevel, long) {
    if (!topLevel) return false;
    PageFallback::Action action = fallback_.Failed(url);
    ApplyFallback(action);
    return action != PageFallback::Action::None;
}

bool FormWB::Translate(MSG& msg) {
    if (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd)) return false;
    if (WebBrowser1.hwnd() && (msg.hwnd == WebBrowser1.hwnd() || IsChild(WebBrowser1.hwnd(), msg.hwnd)))
        return WebBrowser1.TranslateAccelerator(msg);
    return IsDialogMessageW(hwnd(), &msg) != FALSE;
}

LRESULT FormWB::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED) Form_Resize();
        return 0;
    case WM_DPICHANGED: {
        ApplyDpi(HIWORD(wp));
        auto* r = reinterpret_cast<RECT*>(lp);
        SetWindowPos(hwnd(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_COMMAND: {
        int id = LOWORD(wp), code = HIWORD(wp);
        if (code == BN_CLICKED && id == IDC_WB_Command1) Command1_Click();
        if (code == BN_CLICKED && id == IDC_WB_Command5) Command5_Click();
        if (code == BN_CLICKED && id == IDC_WB_Command8) Command8_Click();
        if (code == STN_CLICKED && id == IDC_WB_Label3) Label3_Click();
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) == Label3) {
            auto dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, platform::LinkColor());
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_APP_LOCALPAGE:
        // A navigation asked for since then (a button) takes the place of the help page.
        if (localRequest_ == navigations_) Navigate(options_.pages.localPage);
        return 0;
    case WM_DESTROY:
        WebBrowser1.Close();
        return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
}

void FormWB::OnDestroyed() {
    // The window is gone: the one open form goes with it (nothing of it is used after this).
    auto& open = OpenForm();
    if (created_ && open.get() == this) open.reset();
}

HWND ShowFormWB(const std::wstring& programFolder) {
    return ShowFormWB(FormWBOptions{DefaultPages(programFolder)});
}

HWND ShowFormWB(FormWBOptions options) {
    auto& open = OpenForm();
    if (open && open->hwnd()) {
        HWND h = open->hwnd();
        ShowWindow(h, IsIconic(h) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(h);
        return h;
    }
    if (options.pages.localPage.empty()) options.pages = DefaultPages(ProgramFolderOfExe());
    open = std::make_unique<FormWB>(std::move(options));
    if (!open->Create()) {
        open.reset();
        platform::Message(nullptr, L"无法打开“下载最新墙纸”窗口。", MB_OK | MB_ICONERROR);
        return nullptr;
    }
    return open->hwnd();
}

HWND FormWBWindow() {
    auto& open = OpenForm();
    return open ? open->hwnd() : nullptr;
}

bool FormWBTranslate(MSG& msg) {
    auto& open = OpenForm();
    return open && open->hwnd() && open->Translate(msg);
}

void CloseFormWB() {
    if (HWND h = FormWBWindow()) DestroyWindow(h);
}

} // namespace web
