// The web window on its own message loop, as the main window and the tray open it: one window at a
// time, the help page once per failed page and never in a loop, page scripts that cannot close it,
// and buttons that still work where there is no browser control. Wine runs here without its HTML
// engine, so no page renders, but the browser control reports its failed navigations.
#include "web/form_wb.h"

#include "tests/support/temp_folder.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

using Microsoft::WRL::ComPtr;
using web::FormWBOptions;

namespace {

// Nothing listens on the discard port here: the connection is refused at once.
const std::wstring Unreachable = L"http://127.0.0.1:9/";

struct Recorded {
    std::vector<std::wstring> navigations, opened;
    size_t Count(const std::wstring& url) const {
        return static_cast<size_t>(std::count(navigations.begin(), navigations.end(), url));
    }
};

class FormWBTest : public ::testing::Test {
  protected:
    void SetUp() override { OleInitialize(nullptr); }
    void TearDown() override {
        web::CloseFormWB();
        Pump(std::chrono::milliseconds(50));
        OleUninitialize();
    }

    FormWBOptions Options(bool withLocalPage = false) {
        FormWBOptions o;
        o.pages = {Unreachable + L"wallpaper/",
                   Unreachable + L"software/",
                   Unreachable,
                   Unreachable + L"quorvel/",
                   L"mailto:author@tavolin.net?subject=x",
                   folder.path() + L"\\Quorvel.htm"};
        if (withLocalPage) test::TempFolder::Write(o.pages.localPage, "<html><body>help</body></html>");
        o.navigating = [this](const std::wstring& url) { rec.navigations.push_back(url); };
        o.openExternally = [this](const std::wstring& url) { rec.opened.push_back(url); };
        return o;
    }

    // Runs the message loop as the program runs it. False if anything asked it to end.
    bool Pump(std::chrono::milliseconds time, const std::function<bool()>& until = {}) {
        auto end = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < end) {
            MSG msg;
            while (std::chrono::steady_clock::now() < end && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) return false;
                if (web::FormWBTranslate(msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (until && until()) return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return true;
    }

    static HWND Child(HWND parent, const std::wstring& textStart, const wchar_t* cls = nullptr) {
        struct Find {
            std::wstring text;
            const wchar_t* cls;
            HWND found = nullptr;
        } f{textStart, cls};
        EnumChildWindows(
            parent,
            [](HWND h, LPARAM lp) -> BOOL {
                auto* f = reinterpret_cast<Find*>(lp);
                wchar_t c[64] = L"";
                GetClassNameW(h, c, 64);
                if (f->cls ? _wcsicmp(c, f->cls) == 0 : platform::GetText(h).rfind(f->text, 0) == 0) {
                    f->found = h;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&f));
        return f.found;
    }
    static HWND Line(HWND form) { return Child(form, L"无法显示"); }
    static RECT ClientPlace(HWND child) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static int WindowsCaptioned(const wchar_t* caption) {
        int n = 0;
        HWND h = nullptr;
        while ((h = FindWindowExW(nullptr, h, nullptr, caption)))
            ++n;
        return n;
    }
    static void Click(HWND control) {
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }

    test::TempFolder folder{L"tavolin-web"};
    Recorded rec;
};

} // namespace

TEST_F(FormWBTest, OpensOnceUnownedAndASecondCallOnlyBringsItUp) {
    HWND h = web::ShowFormWB(Options(true));
    ASSERT_TRUE(h);
    EXPECT_EQ(web::FormWBWindow(), h);
    EXPECT_EQ(platform::GetText(h), L"下载最新墙纸－Tavolin");
    EXPECT_EQ(GetWindow(h, GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowVisible(h));
    // The version comes from this program's version resource.
    EXPECT_TRUE(Child(h, L"版本 1.5.189"));
    for (const wchar_t* text : {L"其他软件", L"作者网站：www.tavolin.net", L"最新版本",
                                L"软件名称：Tavolin(Quorvel)", L"Email: author@tavolin.net"})
        EXPECT_TRUE(Child(h, text)) << text;
    // Load and then the first layout each ask for the start page.
    EXPECT_EQ(rec.Count(Unreachable + L"wallpaper/"), 2u);

    ShowWindow(h, SW_MINIMIZE);
    Pump(std::chrono::milliseconds(100));
    EXPECT_EQ(web::ShowFormWB(Options()), h);
    EXPECT_FALSE(IsIconic(h));
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(WindowsCaptioned(L"下载最新墙纸－Tavolin"), 1);
    EXPECT_EQ(rec.Count(Unreachable + L"wallpaper/"), 2u);
}

TEST_F(FormWBTest, AFailedPageLeadsToTheHelpPageOnceEvenWhenThatFailsToo) {
    FormWBOptions o = Options(); // no help page beside the program
    const std::wstring local = o.pages.localPage;
    HWND h = web::ShowFormWB(o);
    ASSERT_TRUE(h);
    ASSERT_TRUE(Pump(std::chrono::seconds(20), [&] { return IsWindowVisible(Line(h)); }))
        << "closing or a message loop end";
    Pump(std::chrono::milliseconds(500)); // anything further would show up now
    EXPECT_EQ(rec.Count(local), 1u);
    EXPECT_EQ(rec.navigations.size(), 3u);
    ASSERT_TRUE(Line(h));
    EXPECT_TRUE(IsWindowVisible(Line(h)));
    EXPECT_TRUE(IsWindow(h));

    // A button's page that fails gets the help page once more, and only once.
    Click(Child(h, L"其他软件"));
    EXPECT_EQ(rec.navigations.back(), Unreachable + L"software/");
    Pump(std::chrono::seconds(20), [&] { return rec.Count(local) == 2 && IsWindowVisible(Line(h)); });
    Pump(std::chrono::milliseconds(500));
    EXPECT_EQ(rec.Count(local), 2u);
    EXPECT_EQ(rec.navigations.size(), 5u);
    EXPECT_TRUE(rec.opened.empty());
}

TEST_F(FormWBTest, WithAHelpPageTheFailedPageIsReplacedOnce) {
    FormWBOptions o = Options(true);
    const std::wstring local = o.pages.localPage;
    HWND h = web::ShowFormWB(o);
    ASSERT_TRUE(h);
    Pump(std::chrono::seconds(20), [&] { return rec.Count(local) == 1; });
    Pump(std::chrono::seconds(1));
    EXPECT_EQ(rec.Count(local), 1u);
    EXPECT_EQ(rec.navigations.size(), 3u);
}

TEST_F(FormWBTest, MinimisingDoesNotLayOutAndRestoringDoesWithoutNavigating) {
    HWND h = web::ShowFormWB(Options(true));
    ASSERT_TRUE(h);
    HWND browser = Child(h, L"", L"AtlAxWin");
    ASSERT_TRUE(browser);
    Pump(std::chrono::milliseconds(200));
    size_t asked = rec.navigations.size();
    RECT before = ClientPlace(browser);

    ShowWindow(h, SW_MINIMIZE);
    Pump(std::chrono::milliseconds(100));
    RECT minimised = ClientPlace(browser);
    EXPECT_TRUE(EqualRect(&before, &minimised));
    ShowWindow(h, SW_RESTORE);
    Pump(std::chrono::milliseconds(100));
    RECT restored = ClientPlace(browser);
    EXPECT_TRUE(EqualRect(&before, &restored));
    EXPECT_EQ(rec.navigations.size(), asked);

    // Lower than the frame and the browser's margin: the browser is there with no height.
    UINT dpi = platform::DpiOf(h);
    SetWindowPos(h, nullptr, 0, 0, platform::Twips(9000, dpi), platform::Twips(1500, dpi),
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT low = ClientPlace(browser);
    EXPECT_EQ(low.bottom - low.top, 0);
    EXPECT_NEAR(low.right - low.left, platform::Twips(9000 - 150, dpi), 1);

    SetWindowPos(h, nullptr, 0, 0, platform::Twips(12000, dpi), platform::Twips(9000, dpi),
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT big = ClientPlace(browser);
    EXPECT_NEAR(big.bottom - big.top, platform::Twips(9000 - 400, dpi) - big.top, 2);
    EXPECT_EQ(rec.navigations.size(), asked);
}

TEST_F(FormWBTest, APageCannotCloseTheWindowAndClosingItLeavesTheProgramRunning) {
    HWND h = web::ShowFormWB(Options(true));
    ASSERT_TRUE(h);
    HWND host = Child(h, L"", L"AtlAxWin");
    ASSERT_TRUE(host);

    // Ask the browser control itself whom it tells of its events, and tell them what a page's
    // window.close() makes it say.
    using GetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
    auto getControl = reinterpret_cast<GetControl>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"atl.dll"), "AtlAxGetControl")));
    ASSERT_TRUE(getControl);
    ComPtr<IUnknown> control;
    ASSERT_HRESULT_SUCCEEDED(getControl(host, &control));
    ComPtr<IConnectionPointContainer> points;
    ComPtr<IConnectionPoint> point;
    ASSERT_HRESULT_SUCCEEDED(control.As(&points));
    ASSERT_HRESULT_SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point));
    ComPtr<IEnumConnections> connections;
    ASSERT_HRESULT_SUCCEEDED(point->EnumConnections(&connections));
    CONNECTDATA data{};
    ULONG got = 0;
    int told = 0;
    while (connections->Next(1, &data, &got) == S_OK && got == 1) {
        ComPtr<IDispatch> sink;
        if (SUCCEEDED(data.pUnk->QueryInterface(IID_PPV_ARGS(&sink)))) {
            VARIANT_BOOL cancel = VARIANT_FALSE;
            VARIANT args[2];
            args[0].vt = VT_BOOL | VT_BYREF;
            args[0].pboolVal = &cancel;
            args[1].vt = VT_BOOL;
            args[1].boolVal = VARIANT_FALSE;
            DISPPARAMS params{args, nullptr, 2, 0};
            sink->Invoke(DISPID_WINDOWCLOSING, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                         nullptr);
            EXPECT_EQ(cancel, VARIANT_TRUE);
            ++told;
        }
        data.pUnk->Release();
    }
    EXPECT_EQ(told, 1);
    Pump(std::chrono::milliseconds(100));
    EXPECT_TRUE(IsWindow(h));

    // The user closes it: the window goes, the program's loop goes on, and it opens anew.
    control.Reset();
    points.Reset();
    point.Reset();
    connections.Reset();
    PostMessageW(h, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Pump(std::chrono::milliseconds(300)));
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(web::FormWBWindow(), nullptr);
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    rec.navigations.clear();
    HWND again = web::ShowFormWB(Options(true));
    ASSERT_TRUE(again);
    EXPECT_TRUE(IsWindowVisible(again));
    EXPECT_EQ(rec.navigations.size(), 2u);
}

TEST_F(FormWBTest, WithoutABrowserControlTheButtonsOpenTheDefaultBrowser) {
    FormWBOptions o = Options(true);
    o.engine = L"Tavolin.NoSuchBrowser";
    HWND h = web::ShowFormWB(o);
    ASSERT_TRUE(h);
    EXPECT_FALSE(Child(h, L"", L"AtlAxWin"));
    HWND line = Child(h, L"这台电脑上没有可用的网页浏览组件");
    ASSERT_TRUE(line);
    EXPECT_TRUE(IsWindowVisible(line));
    EXPECT_TRUE(Child(h, L"版本 1.5.189"));

    for (const wchar_t* button : {L"其他软件", L"作者网站：", L"最新版本"})
        Click(Child(h, button));
    Click(Child(h, L"Email:"));
    Pump(std::chrono::milliseconds(200));
    EXPECT_TRUE(rec.navigations.empty());
    EXPECT_EQ(rec.opened, (std::vector<std::wstring>{o.pages.otherSoftware, o.pages.makerHome,
                                                     o.pages.productHome, o.pages.mail}));
    EXPECT_TRUE(IsWindow(h));
}

TEST_F(FormWBTest, TheMailLabelOpensTheMailLinkOutsideTheWindow) {
    FormWBOptions o = Options(true);
    HWND h = web::ShowFormWB(o);
    ASSERT_TRUE(h);
    size_t asked = rec.navigations.size();
    Click(Child(h, L"Email:"));
    EXPECT_EQ(rec.opened, std::vector<std::wstring>{o.pages.mail});
    EXPECT_EQ(rec.navigations.size(), asked);
}
