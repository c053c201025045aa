// The per-user settings store: HKEY_CURRENT_USER\Software\Tavolin\<application>\<section>.
#pragma once
#include "settings/app_settings.h"

#include <string>

namespace settings {

std::wstring StoreKey(const std::wstring& application, const std::wstring& section);
std::wstring GetSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                        const std::wstring& fallback);
bool SaveSetting(const std::wstring& application, const std::wstring& section, const std::wstring& key,
                 const std::wstring& text);

// Reads the settings of the program installed in `programFolder`: the intervals, the hide-at-start flag,
// the stored picture folder, the wallpaper position, what several monitors show, the order and pauses of
// the automatic change and its hotkeys. A stored text that cannot be read gives the default.
AppSettings LoadAppSettings(const std::wstring& programFolder);

} // namespace settings
