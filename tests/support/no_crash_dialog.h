// Wine hands every unhandled exception to its debugger, which shows a dialog and waits for a
// click. While this lives the debugger still writes its report but shows no dialog.
#pragma once
#include "platform/win.h"

namespace test {

class NoCrashDialog {
  public:
    NoCrashDialog() {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineDbg", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key_, nullptr);
        DWORD size = sizeof old_;
        had_ = RegQueryValueExW(key_, L"ShowCrashDialog", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_),
                                &size) == ERROR_SUCCESS;
        DWORD off = 0;
        RegSetValueExW(key_, L"ShowCrashDialog", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off),
                       sizeof off);
    }
    ~NoCrashDialog() {
        if (had_)
            RegSetValueExW(key_, L"ShowCrashDialog", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                           sizeof old_);
        else
            RegDeleteValueW(key_, L"ShowCrashDialog");
        RegCloseKey(key_);
    }
    NoCrashDialog(const NoCrashDialog&) = delete;
    NoCrashDialog& operator=(const NoCrashDialog&) = delete;

  private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
};

} // namespace test
