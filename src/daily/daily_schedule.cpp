#include "daily/daily_schedule.h"

#include <algorithm>

namespace daily {
namespace {

constexpr int64_t Day = 24 * 60 * 60;

// Days since 1970, rounded down also before it.
int64_t DayOf(int64_t local) {
    return local / Day - (local % Day < 0 ? 1 : 0);
}

std::wstring TwoDigits(int n) {
    return std::wstring(1, static_cast<wchar_t>(L'0' + n / 10 % 10)) + static_cast<wchar_t>(L'0' + n % 10);
}

} // namespace

int64_t NextMidnight(int64_t localNow) {
    return (DayOf(localNow) + 1) * Day;
}

int64_t NextCheck(int64_t lastCheckLocal, int failuresInARow) {
    static constexpr int64_t Retries[] = {60, 5 * 60, 15 * 60, 60 * 60};
    if (failuresInARow <= 0) return NextMidnight(lastCheckLocal);
    return lastCheckLocal + Retries[std::min(failuresInARow, 4) - 1];
}

bool CheckDue(int64_t localNow, std::optional<int64_t> lastSuccessLocal) {
    return !lastSuccessLocal || DayOf(*lastSuccessLocal) != DayOf(localNow);
}

std::wstring FailureTip(int hour, int minute) {
    return L"每日图片：上次下载失败（" + TwoDigits(std::clamp(hour, 0, 23)) + L':' +
           TwoDigits(std::clamp(minute, 0, 59)) + L"）";
}

} // namespace daily
