// The system's web browser control hosted in a child window, with the events the web window needs.
#pragma once
#include "platform/win.h"

#include <exdisp.h>
#include <oleidl.h>
#include <wrl/client.h>

#include <string>

namespace web {

class BrowserEvents {
  public:
    // A navigation of the whole page (not of a frame inside it) starts.
    virtual void BrowserNavigating(const std::wstring& url) = 0;
    // A navigation failed; `topLevel` is false for a frame inside the page. True cancels the
    // browser's own error page.
    virtual bool BrowserNavigateError(const std::wstring& url, bool topLevel, long status) = 0;
    // A page script asks to close the window; true refuses.
    virtual bool BrowserWindowClosing() = 0;

  protected:
    ~BrowserEvents() = default;
};

class EventSink;

// "AtlAxWin" (atl.dll) hosts the control given by its ProgID, so the program needs no container of
// its own. The host window is a child of `parent` and goes with it.
class BrowserHost {
  public:
    BrowserHost();
    BrowserHost(const BrowserHost&) = delete;
    BrowserHost& operator=(const BrowserHost&) = delete;
    ~BrowserHost();

    // False when the control cannot be created (no atl.dll, no such control, no browser).
    bool Create(HWND parent, int id, const std::wstring& progId, BrowserEvents& events);
    // Stops the events, lets the control go and destroys the host window.
    void Close();

    bool Ready() const { return browser_ != nullptr; }
    HWND hwnd() const { return host_; }
    HRESULT Navigate(const std::wstring& url);
    // Keys for the page (accelerators, Tab inside it) when `msg` is meant for it.
    bool TranslateAccelerator(MSG& msg);

  private:
    HWND host_ = nullptr;
    Microsoft::WRL::ComPtr<IWebBrowser2> browser_;
    Microsoft::WRL::ComPtr<IConnectionPoint> point_;
    Microsoft::WRL::ComPtr<EventSink> sink_;
    DWORD cookie_ = 0;
    bool ole_ = false; // this host initialised OLE on the thread (in-place activation needs it)
};

} // namespace web
