#include "platform/win.h"

#include <cmath>

namespace platform {

std::wstring GetText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd, s.data(), n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

int Twips(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}
int PixelsToTwips(int pixels, UINT dpi) {
    return MulDiv(pixels, 1440, static_cast<int>(dpi));
}

UINT DpiOf(HWND hwnd) {
    UINT dpi = hwnd ? GetDpiForWindow(hwnd) : 0;
    if (!dpi) {
        HDC dc = GetDC(nullptr);
        dpi = static_cast<UINT>(GetDeviceCaps(dc, LOGPIXELSY));
        ReleaseDC(nullptr, dc);
    }
    return dpi ? dpi : 96;
}

std::wstring LongPath(const std::wstring& path) {
    // Folders are limited 12 characters earlier than files (room for an 8.3 name).
    if (path.size() < MAX_PATH - 12 || path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
        return path;
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (!n) return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (!n || n >= full.size()) return path;
    full.resize(n);
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    return path;
}

HFONT CreateUiFont(UINT dpi) {
    NONCLIENTMETRICSW ncm{sizeof ncm};
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0, dpi)) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
        ncm.lfMessageFont.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
    }
    return CreateFontIndirectW(&ncm.lfMessageFont);
}

int Message(HWND owner, const std::wstring& text, UINT flags) {
    return MessageBoxW(owner, text.c_str(), L"Tavolin", flags);
}

COLORREF LinkColor() {
    HIGHCONTRASTW hc{sizeof hc};
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON))
        return GetSysColor(COLOR_HOTLIGHT);
    return RGB(0, 0, 255);
}

} // namespace platform
