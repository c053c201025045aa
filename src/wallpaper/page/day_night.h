// Day and night as the program sees them now: the machine's clock and time zone, the sun at the
// user's place, or Windows' light and dark mode.
#pragma once
#include "platform/win.h"
#include "settings/app_settings.h"
#include "wallpaper/choosing/sun_times.h"

#include <cstdint>
#include <optional>
#include <string>

namespace wallpaper {

// The machine's clock: now in UTC, the local date, and the local offset from UTC in minutes.
struct LocalClock {
    int64_t nowUtc = 0;
    int year = 1970, month = 1, day = 1;
    int offsetMinutes = 0;
};
LocalClock LocalNow();

// "今天日出 07:29，日落 16:51" (or "今天极夜", "今天极昼") at the place, for the machine's date and time.
std::wstring SunTimesToday(double latitude, double longitude);

// Windows' apps use the light mode: "AppsUseLightTheme" 1 or missing.
bool SystemUsesLightMode();
// Writes "AppsUseLightTheme" and "SystemUsesLightTheme" for `light` where they differ and tells every
// window (WM_SETTINGCHANGE "ImmersiveColorSet"), as Windows' own settings page does.
void SetSystemLightMode(bool light);

// The phase now under `settings`' mode, with the next moment it changes by the sun; nothing for
// "不按时间".
struct PhaseState {
    Phase phase = Phase::Day;
    std::optional<int64_t> nextSwitch; // UTC, by the sun only
};
std::optional<PhaseState> PhaseFor(const settings::AppSettings& settings, int64_t nowUtc);

} // namespace wallpaper
