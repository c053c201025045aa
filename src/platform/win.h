// Windows headers with the settings the whole program uses, and typed owners for handles.
#pragma once
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <utility>

namespace platform {

// A move-only owner of one handle; Traits::Close releases it.
template <class H, class Traits> class Owned {
  public:
    Owned() = default;
    explicit Owned(H h) : h_(h) {}
    Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, H{})) {}
    Owned& operator=(Owned&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, H{}));
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }
    H get() const { return h_; }
    H* put() {
        reset();
        return &h_;
    }
    H release() { return std::exchange(h_, H{}); }
    void reset(H h = H{}) {
        if (h_ && h_ != Traits::Invalid()) Traits::Close(h_);
        h_ = h;
    }
    explicit operator bool() const { return h_ && h_ != Traits::Invalid(); }

  private:
    H h_{};
};

struct KeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
struct HandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};
struct GdiTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Close(HMENU h) { DestroyMenu(h); }
};

using UniqueKey = Owned<HKEY, KeyTraits>;
using UniqueHandle = Owned<HANDLE, HandleTraits>;
using UniqueFind = Owned<HANDLE, FindTraits>;
using UniqueIcon = Owned<HICON, IconTraits>;
using UniqueGdi = Owned<HGDIOBJ, GdiTraits>;
using UniqueMenu = Owned<HMENU, MenuTraits>;

// Text of a window (caption of a control).
std::wstring GetText(HWND hwnd);
// The full path of this program's executable, however long.
std::wstring ModulePath();

// Twips (1/1440 inch) to pixels for the given DPI; 15 twips are one pixel at 96 DPI.
int Twips(int twips, UINT dpi);
int PixelsToTwips(int pixels, UINT dpi);
UINT DpiOf(HWND hwnd);

// The path as file functions take it at any length: an absolute path near MAX_PATH or longer, made
// full, gets the "\\?\" prefix that lifts the limit where long paths are not switched on. Any
// other path is returned as it is.
std::wstring LongPath(const std::wstring& path);

// The system's message font for `dpi` (the caller owns it).
HFONT CreateUiFont(UINT dpi);

// The colour of a link's text: blue, or the theme's link colour under a high-contrast theme.
COLORREF LinkColor();

// Runs a message box owned by `owner` with the program's caption.
int Message(HWND owner, const std::wstring& text, UINT flags);

} // namespace platform
