#include "web/browser_host.h"

#include "platform/com_object.h"

#include <exdispid.h>
#include <ocidl.h>

namespace web {
using Microsoft::WRL::ComPtr;

namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

struct Atl {
    AtlAxWinInitFn init = nullptr;
    AtlAxGetControlFn getControl = nullptr;
};

// atl.dll stays loaded for the rest of the run: its window class lives in it.
const Atl& LoadAtl() {
    static const Atl atl = [] {
        Atl a;
        if (HMODULE m = LoadLibraryExW(L"atl.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
            a.init =
                reinterpret_cast<AtlAxWinInitFn>(reinterpret_cast<void*>(GetProcAddress(m, "AtlAxWinInit")));
            a.getControl = reinterpret_cast<AtlAxGetControlFn>(
                reinterpret_cast<void*>(GetProcAddress(m, "AtlAxGetControl")));
            if (!a.init || !a.getControl || !a.init()) a = {};
        }
        return a;
    }();
    return atl;
}

// Follows VT_BYREF | VT_VARIANT to the variant that holds the value.
const VARIANT& Deref(const VARIANT& v) {
    if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) return Deref(*v.pvarVal);
    return v;
}

std::wstring Text(const VARIANT& arg) {
    const VARIANT& v = Deref(arg);
    if (v.vt == VT_BSTR && v.bstrVal) return {v.bstrVal, SysStringLen(v.bstrVal)};
    if (v.vt == (VT_BYREF | VT_BSTR) && v.pbstrVal && *v.pbstrVal)
        return {*v.pbstrVal, SysStringLen(*v.pbstrVal)};
    return {};
}

long Number(const VARIANT& arg) {
    const VARIANT& v = Deref(arg);
    if (v.vt == VT_I4) return v.lVal;
    if (v.vt == (VT_BYREF | VT_I4) && v.plVal) return *v.plVal;
    return 0;
}

VARIANT_BOOL* BoolOut(const VARIANT& v) {
    return v.vt == (VT_BYREF | VT_BOOL) ? v.pboolVal : nullptr;
}

bool SameObject(IUnknown* a, IUnknown* b) {
    if (!a || !b) return false;
    ComPtr<IUnknown> ua, ub;
    return SUCCEEDED(a->QueryInterface(IID_PPV_ARGS(&ua))) &&
           SUCCEEDED(b->QueryInterface(IID_PPV_ARGS(&ub))) && ua.Get() == ub.Get();
}

} // namespace

// Receives DWebBrowserEvents2 and passes the three that matter on, while connected.
class EventSink final : public platform::ComObject<EventSink, IDispatch> {
  public:
    EventSink(BrowserEvents& events, IUnknown* browser) : events_(&events), browser_(browser) {}
    void Disconnect() { events_ = nullptr, browser_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        // Nothing the page does may take the program down: failures here are dropped.
        try {
            if (events_ && p) Dispatch(id, p->rgvarg, p->cArgs);
        } catch (...) {
        }
        return S_OK;
    }

  private:
    // Arguments arrive last first.
    void Dispatch(DISPID id, VARIANT* a, UINT n) {
        switch (id) {
        case DISPID_BEFORENAVIGATE2: // pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel
            if (n == 7 && TopLevel(a[6])) events_->BrowserNavigating(Text(a[5]));
            break;
        case DISPID_NAVIGATEERROR: // pDisp, URL, Frame, StatusCode, Cancel
            if (n == 5) {
                bool cancel = events_->BrowserNavigateError(Text(a[3]), TopLevel(a[4]), Number(a[1]));
                if (VARIANT_BOOL* c = BoolOut(a[0]); c && cancel) *c = VARIANT_TRUE;
            }
            break;
        case DISPID_WINDOWCLOSING: // IsChildWindow, Cancel
            if (n == 2) {
                bool refuse = events_->BrowserWindowClosing();
                if (VARIANT_BOOL* c = BoolOut(a[0])) *c = refuse ? VARIANT_TRUE : VARIANT_FALSE;
            }
            break;
        }
    }
    bool TopLevel(const VARIANT& arg) const {
        const VARIANT& v = Deref(arg);
        return v.vt == VT_DISPATCH && SameObject(v.pdispVal, browser_);
    }

    BrowserEvents* events_;
    IUnknown* browser_; // not owned; the host holds the browser while the sink is connected
};

BrowserHost::BrowserHost() = default;

BrowserHost::~BrowserHost() {
    Close();
}

bool BrowserHost::Create(HWND parent, int id, const std::wstring& progId, BrowserEvents& events) {
    const Atl& atl = LoadAtl();
    if (!atl.init) return false;
    ole_ = SUCCEEDED(OleInitialize(nullptr));
    host_ = CreateWindowExW(0, L"AtlAxWin", progId.c_str(), WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                            0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    ComPtr<IUnknown> control;
    ComPtr<IConnectionPointContainer> points;
    if (!host_ || FAILED(atl.getControl(host_, &control)) || !control || FAILED(control.As(&browser_)) ||
        FAILED(browser_.As(&points)) ||
        FAILED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point_))) {
        Close();
        return false;
    }
    sink_ = EventSink::Make(events, browser_.Get());
    if (FAILED(point_->Advise(sink_.Get(), &cookie_))) cookie_ = 0;
    // Script errors of a page are the page's business, not the user's.
    browser_->put_Silent(VARIANT_TRUE);
    return true;
}

void BrowserHost::Close() {
    if (sink_) sink_->Disconnect();
    if (point_ && cookie_) point_->Unadvise(cookie_);
    cookie_ = 0;
    point_.Reset();
    sink_.Reset();
    browser_.Reset();
    // The host window lets the control go before OLE may end on this thread.
    if (host_ && IsWindow(host_)) DestroyWindow(host_);
    host_ = nullptr;
    if (ole_) OleUninitialize();
    ole_ = false;
}

HRESULT BrowserHost::Navigate(const std::wstring& url) {
    if (!browser_) return E_UNEXPECTED;
    BSTR address = SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
    if (!address) return E_OUTOFMEMORY;
    HRESULT hr = browser_->Navigate(address, nullptr, nullptr, nullptr, nullptr);
    SysFreeString(address);
    return hr;
}

bool BrowserHost::TranslateAccelerator(MSG& msg) {
    if (!browser_ || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    if (msg.hwnd != host_ && !IsChild(host_, msg.hwnd)) return false;
    ComPtr<IOleInPlaceActiveObject> active;
    return SUCCEEDED(browser_.As(&active)) && active->TranslateAccelerator(&msg) == S_OK;
}

} // namespace web
