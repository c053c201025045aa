// "下载最新墙纸－Tavolin": the maker's pages in the system's web browser control, with buttons for
// the other pages, the author's mail link and the local help page when a page cannot be reached.
#pragma once
#include "platform/window.h"
#include "web/browser_host.h"
#include "web/form_wb_rules.h"
#include "web/pages.h"

#include <functional>
#include <memory>
#include <string>

namespace web {

struct FormWBOptions {
    Pages pages;
    std::wstring engine = L"Shell.Explorer.2"; // ProgID of the browser control
    // Opens an address outside the window: the mail link, and every page when there is no
    // browser control. Empty: the user's default program for it.
    std::function<void(const std::wstring&)> openExternally;
    // Told of each address the window asks its browser control for.
    std::function<void(const std::wstring&)> navigating;
};

// Opens the web window, or brings up the one that is open. `programFolder` (no trailing
// backslash) holds the help page. Returns the window, or null when it cannot be created.
HWND ShowFormWB(const std::wstring& programFolder);
// The options count when the window is created; an open window is only brought up.
HWND ShowFormWB(FormWBOptions options);
// The open web window, or null.
HWND FormWBWindow();
// For the program's message loop, before TranslateMessage: the web window's keys (Tab among its
// controls, the page's own keys). True when the message has been used.
bool FormWBTranslate(MSG& msg);
// Closes the web window if it is open. Call on the program's exit, while COM is still up.
void CloseFormWB();

class FormWB final : public platform::Window, private BrowserEvents {
  public:
    explicit FormWB(FormWBOptions options);
    ~FormWB() override;

    bool Create();
    void Form_Load();
    void Form_Resize();
    void Command1_Click() { Go(options_.pages.otherSoftware); }
    void Command5_Click() { Go(options_.pages.makerHome); }
    void Command8_Click() { Go(options_.pages.productHome); }
    void Label3_Click() { OpenExternally(options_.pages.mail); }
    bool Translate(MSG& msg);

    HWND Frame1 = nullptr, Command1 = nullptr, Command5 = nullptr, Command8 = nullptr, Label1 = nullptr,
         Label8 = nullptr, Label3 = nullptr, Label2 = nullptr, Label4 = nullptr, Label5 = nullptr,
         lblNoPage = nullptr;
    BrowserHost WebBrowser1;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;

  private:
    class Frame;

    void CreateChildren();
    void ApplyDpi(UINT dpi);
    // Asks the browser control for a page; where there is none, the page opens outside.
    void Go(const std::wstring& url);
    void Navigate(const std::wstring& url);
    void ApplyFallback(PageFallback::Action action);
    void ShowLine(const wchar_t* text);
    void OpenExternally(const std::wstring& url);

    void BrowserNavigating(const std::wstring& url) override;
    bool BrowserNavigateError(const std::wstring& url, bool topLevel, long status) override;
    bool BrowserWindowClosing() override { return true; }

    FormWBOptions options_;
    PageFallback fallback_;
    std::unique_ptr<Frame> frame_;
    platform::UniqueGdi font_;
    UINT dpi_ = 96;
    bool loaded_ = false;
    bool created_ = false;
    unsigned navigations_ = 0;   // navigations asked of the browser so far
    unsigned localRequest_ = 0;  // the count when the help page was last called for
    bool startRepeated_ = false; // the first layout asks for the start page once more
    Rect browserPlace_{};
};

} // namespace web
