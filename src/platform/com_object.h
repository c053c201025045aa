// Reference counting for the small COM objects the program implements itself (event sinks).
#pragma once
#include "platform/win.h"

#include <unknwn.h>
#include <wrl/client.h>

#include <utility>

namespace platform {

// `Derived` (declared final) implements `Interface` and its QueryInterface; the object ends
// with its last reference. Make() is the only way to create one.
template <class Derived, class Interface> class ComObject : public Interface {
  public:
    template <class... A> static Microsoft::WRL::ComPtr<Derived> Make(A&&... args) {
        Microsoft::WRL::ComPtr<Derived> p;
        p.Attach(new Derived(std::forward<A>(args)...)); // the first reference
        return p;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete static_cast<Derived*>(this);
        return static_cast<ULONG>(n);
    }

  protected:
    ComObject() = default;
    ~ComObject() = default;

  private:
    LONG refs_ = 1;
};

} // namespace platform
