// Turning stored setting texts into numbers, ticks and names; no Windows headers here.
#pragma once
#include "settings/app_settings.h"

#include <cstdint>
#include <string>

namespace settings {

// A stored decimal integer: surrounding blanks allowed, an optional sign. Anything else
// (empty, letters, a fraction, a value outside the target type) yields the default.
int32_t ParseStoredInt32(const std::wstring& text, int32_t fallback);
int16_t ParseStoredInt16(const std::wstring& text, int16_t fallback);

// A stored tick: "1" or "0"; anything else yields the default.
bool ParseStoredFlag(const std::wstring& text, bool fallback);
// A stored key chord as the hotkey control gives it, 0..65535 as ParseStoredInt32 reads numbers;
// anything else is no key (0).
uint16_t ParseStoredHotkey(const std::wstring& text);

// The stored name of what several monitors show; anything but the two names is 同一张图片.
std::wstring MonitorModeName(MonitorMode mode);
MonitorMode ParseMonitorMode(const std::wstring& stored);

} // namespace settings
