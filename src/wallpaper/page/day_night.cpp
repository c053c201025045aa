#include "wallpaper/page/day_night.h"

#include <shlwapi.h>


namespace wallpaper {
namespace {

constexpr wchar_t PersonalizeKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

int64_t SecondsOf(const SYSTEMTIME& t) {
    return DaysFromCivil(t.wYear, t.wMonth, t.wDay) * 86400 + t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

std::optional<DWORD> PersonalizeValue(const wchar_t* name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, PersonalizeKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

} // namespace

LocalClock LocalNow() {
    SYSTEMTIME utc{}, local{};
    GetSystemTime(&utc);
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
    LocalClock clock;
    clock.nowUtc = SecondsOf(utc);
    clock.year = local.wYear;
    clock.month = local.wMonth;
    clock.day = local.wDay;
    clock.offsetMinutes = static_cast<int>((SecondsOf(local) - clock.nowUtc + 30 * 86400) / 60) - 30 * 1440;
    return clock;
}

std::wstring SunTimesToday(double latitude, double longitude) {
    const LocalClock now = LocalNow();
    return SunLabel(SunEventsOnLocalDate(now.year, now.month, now.day, now.offsetMinutes, latitude, longitude),
                    now.offsetMinutes);
}

bool SystemUsesLightMode() {
    return PersonalizeValue(L"AppsUseLightTheme").value_or(1) != 0;
}

void SetSystemLightMode(bool light) {
    bool changed = false;
    for (const wchar_t* name : {L"AppsUseLightTheme", L"SystemUsesLightTheme"}) {
        if (PersonalizeValue(name).value_or(1) == (light ? 1u : 0u)) continue;
        const DWORD value = light ? 1 : 0;
        changed |= RegSetKeyValueW(HKEY_CURRENT_USER, PersonalizeKey, name, REG_DWORD, &value, sizeof value) ==
                   ERROR_SUCCESS;
    }
    if (!changed) return;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"),
                        SMTO_ABORTIFHUNG, 1000, nullptr);
}

std::optional<PhaseState> PhaseFor(const settings::AppSettings& settings, int64_t nowUtc) {
    switch (settings.Time) {
    case settings::TimeMode::None:
        return std::nullopt;
    case settings::TimeMode::System:
        return PhaseState{SystemUsesLightMode() ? Phase::Day : Phase::Night, std::nullopt};
    case settings::TimeMode::Sun:
        break;
    }
    SunPhase sun = PhaseNow(nowUtc, settings.Latitude, settings.Longitude);
    return PhaseState{sun.phase, sun.nextSwitch};
}

} // namespace wallpaper
