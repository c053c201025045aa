#include "platform/accessible_name.h"

#include <commctrl.h>
#include <oleacc.h>

#include <memory>

namespace platform {
namespace {

// The system's accessible object of a control, answering with a name of our choosing.
class NamedAccessible final : public IAccessible {
  public:
    NamedAccessible(IAccessible* standard, const std::wstring& name) : inner_(standard), name_(name) {
        inner_->AddRef();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // The children's enumerator and the window of the system's object.
        return inner_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG n = InterlockedDecrement(&refs_);
        if (n == 0) {
            inner_->Release();
            delete this;
        }
        return n;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override {
        return inner_->GetTypeInfo(i, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT n, LCID lcid,
                                            DISPID* ids) override {
        return inner_->GetIDsOfNames(iid, names, n, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* info, UINT* arg) override {
        return inner_->Invoke(id, iid, lcid, flags, params, result, info, arg);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return inner_->get_accName(child, name);
        if (!name) return E_POINTER;
        *name = SysAllocString(name_.c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return inner_->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) override { return inner_->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override {
        return inner_->get_accChild(c, p);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* v) override { return inner_->get_accValue(c, v); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* d) override {
        return inner_->get_accDescription(c, d);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* r) override {
        return inner_->get_accRole(c, r);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override {
        return inner_->get_accState(c, s);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override { return inner_->get_accHelp(c, h); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT c, long* topic) override {
        return inner_->get_accHelpTopic(file, c, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
        return inner_->get_accKeyboardShortcut(c, k);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* c) override { return inner_->get_accFocus(c); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* c) override { return inner_->get_accSelection(c); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* a) override {
        return inner_->get_accDefaultAction(c, a);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT c) override {
        return inner_->accSelect(flags, c);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT c) override {
        return inner_->accLocation(x, y, w, h, c);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* end) override {
        return inner_->accNavigate(dir, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* c) override {
        return inner_->accHitTest(x, y, c);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override { return inner_->accDoDefaultAction(c); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR n) override { return inner_->put_accName(c, n); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR v) override { return inner_->put_accValue(c, v); }

  private:
    ~NamedAccessible() = default;
    IAccessible* inner_;
    std::wstring name_;
    LONG refs_ = 1;
};

constexpr wchar_t NameProperty[] = L"TavolinAccessibleName";

LRESULT CALLBACK NameProc(HWND control, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* name = reinterpret_cast<std::wstring*>(data);
    switch (msg) {
    case WM_GETOBJECT:
        if (static_cast<LONG>(static_cast<DWORD>(lp)) == OBJID_CLIENT) {
            IAccessible* standard = nullptr;
            if (SUCCEEDED(CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                    reinterpret_cast<void**>(&standard)))) {
                auto* named = new NamedAccessible(standard, *name);
                standard->Release();
                LRESULT r = LresultFromObject(__uuidof(IAccessible), wp, named);
                named->Release();
                return r;
            }
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(control, NameProc, 0);
        RemovePropW(control, NameProperty);
        delete name;
        break;
    }
    return DefSubclassProc(control, msg, wp, lp);
}

} // namespace

void SetAccessibleName(HWND control, const std::wstring& name) {
    if (!control) return;
    if (auto* named = static_cast<std::wstring*>(GetPropW(control, NameProperty))) {
        *named = name;
        return;
    }
    auto text = std::make_unique<std::wstring>(name);
    if (!SetWindowSubclass(control, NameProc, 0, reinterpret_cast<DWORD_PTR>(text.get()))) return;
    SetPropW(control, NameProperty, text.get());
    text.release();
}

std::wstring LabelBefore(HWND control) {
    HWND label = GetWindow(control, GW_HWNDPREV);
    wchar_t cls[16] = L"";
    if (!label || !GetClassNameW(label, cls, 16) || _wcsicmp(cls, WC_STATICW) != 0) return {};
    std::wstring text = GetText(label);
    std::erase(text, L'&');
    while (!text.empty() && (text.back() == L'：' || text.back() == L':' || text.back() == L' '))
        text.pop_back();
    return text;
}

} // namespace platform
